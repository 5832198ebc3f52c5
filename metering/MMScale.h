#pragma once
// Tick-mark settings of a scale and the drawing of one tick band. TMMScale is the general
// tick object with its own colour and style; TMMLevScale is the one a level scale owns,
// whose zone colours and boundaries the scale sets at every paint.

#include <QObject>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "metering/LtrbRect.h"
#include "platform/MMGraphicControl.h"

class QPainter;

namespace ostrel {

class EMMScaleError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum TMMScaleStyle : std::uint8_t { stColor, stLowered, stRaised };
enum TMMScaleOrigin : std::uint8_t { soInner, soOuter };

// One tick or connecting line: the pixels from (X1, Y1) to (X2, Y2), both inclusive.
struct TickLine {
  int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  TColor Color = clBlack;
  friend bool operator==(const TickLine&, const TickLine&) = default;
};

class TMMCustomScale : public QObject {
  Q_OBJECT
 public:
  explicit TMMCustomScale(QObject* parent = nullptr) : QObject(parent) {}

  bool Visible() const { return visible_; }
  int TickCount() const { return tickCount_; }
  int EnlargeEvery() const { return enlargeEvery_; }
  int Size() const { return size_; }
  TMMScaleOrigin Origin() const { return origin_; }
  bool Connect() const { return connect_; }
  TMMScaleStyle Style() const { return style_; }
  TColor Color() const { return color1_; }
  TColor Color2() const { return color2_; }
  TColor Color3() const { return color3_; }
  int Zone1() const { return zone1_; }
  int Zone2() const { return zone2_; }
  QPainter* Canvas() const { return canvas_; }

  void SetVisible(bool v) { Set(visible_, v); }
  void SetTickCount(int v) { Set(tickCount_, std::max(v, 2)); }
  void SetEnlargeEvery(int v) { Set(enlargeEvery_, std::max(v, 1)); }
  void SetSize(int v) { Set(size_, std::max(v, 1)); }
  void SetOrigin(TMMScaleOrigin v) { Set(origin_, v); }
  void SetConnect(bool v) { Set(connect_, v); }
  // The surface DrawTicks paints on; not a setting, so no change notification.
  void SetCanvas(QPainter* p) { canvas_ = p; }

  // Thickness of a band: the ticks plus the connecting line when there is one.
  int BandThickness() const { return connect_ ? (size_ == INT_MAX ? INT_MAX : size_ + 1) : size_; }

  // The lines of a tick band in `r`. Marker 1 is the band on the first side (above or
  // left), 0 the one on the second side; with the origin they decide which edge the ticks
  // hang from.
  std::vector<TickLine> TickLines(const LtrbRect& r, int marker) const;
  // Draws TickLines on the canvas; EMMScaleError when there is none.
  void DrawTicks(const LtrbRect& r, int marker);

 signals:
  void Changed();

 protected:
  void SetColor(TColor v) { Set(color1_, v); }
  void SetColor2(TColor v) { Set(color2_, v); }
  void SetColor3(TColor v) { Set(color3_, v); }
  void SetZone1(int v) { Set(zone1_, v); }
  void SetZone2(int v) { Set(zone2_, v); }
  void SetStyle(TMMScaleStyle v) { Set(style_, v); }

 private:
  template <class T>
  void Set(T& field, T v) {
    if (field == v) return;
    field = v;
    emit Changed();
  }

  bool visible_ = true;
  int tickCount_ = 11;
  int enlargeEvery_ = 5;
  int size_ = 7;
  TMMScaleOrigin origin_ = soInner;
  bool connect_ = false;
  TMMScaleStyle style_ = stColor;
  TColor color1_ = clBlack, color2_ = clBlack, color3_ = clBlack;
  int zone1_ = 0, zone2_ = 0;
  QPainter* canvas_ = nullptr;
};

// General tick object: its colour and style are settings of its own.
class TMMScale : public TMMCustomScale {
  Q_OBJECT
 public:
  using TMMCustomScale::SetColor;
  using TMMCustomScale::SetColor2;
  using TMMCustomScale::SetColor3;
  using TMMCustomScale::SetStyle;
  using TMMCustomScale::SetZone1;
  using TMMCustomScale::SetZone2;
  using TMMCustomScale::TMMCustomScale;
};

// The tick object of a level scale: always coloured by zones, which the owning scale
// sets from its own zone settings before drawing.
class TMMLevScale : public TMMCustomScale {
  Q_OBJECT
 public:
  using TMMCustomScale::SetColor;
  using TMMCustomScale::SetColor2;
  using TMMCustomScale::SetColor3;
  using TMMCustomScale::SetZone1;
  using TMMCustomScale::SetZone2;
  using TMMCustomScale::TMMCustomScale;
};

}  // namespace ostrel
