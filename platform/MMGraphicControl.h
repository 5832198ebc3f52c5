#pragma once
// Base of the meter and scale controls: a plain widget with an optional bevel frame.
// Subclasses paint inside InnerRect() in Paint(); size or bevel changes reach them
// through BoundsChanged().

#include <QColor>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <algorithm>
#include <cstdint>

class QPainter;

namespace ostrel {

// Colours are 0x00BBGGRR: red in the low byte, blue in the third.
using TColor = std::uint32_t;
inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000,
                        clOlive = 0x008080, clNavy = 0x800000, clPurple = 0x800080,
                        clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                        clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000,
                        clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                        clCream = 0xF0FBFF, clBtnFace = 0xC0C0C0, clBtnHighlight = 0xFFFFFF,
                        clBtnShadow = 0x808080;

inline QColor ToQColor(TColor c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
inline TColor FromQColor(const QColor& q) {
  return TColor(q.red()) | (TColor(q.green()) << 8) | (TColor(q.blue()) << 16);
}

enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle : std::uint8_t { bsNone, bsSingle };

// The frame drawn around a control: border line, border space, outer and inner bevels.
// Every change notifies the owner so it can recompute its inner rectangle.
class TMMBevel : public QObject {
  Q_OBJECT
 public:
  explicit TMMBevel(QObject* parent = nullptr) : QObject(parent) {}

  TBevelCut BevelInner() const { return bevelInner_; }
  TBevelCut BevelOuter() const { return bevelOuter_; }
  int BevelInnerWidth() const { return bevelInnerWidth_; }
  int BevelOuterWidth() const { return bevelOuterWidth_; }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  int BorderWidth() const { return borderWidth_; }
  int BorderSpace() const { return borderSpace_; }
  TColor BorderColor() const { return borderColor_; }
  TColor BorderSpaceColor() const { return borderSpaceColor_; }
  TColor HighlightColor() const { return highlightColor_; }
  TColor ShadowColor() const { return shadowColor_; }

  void SetBevelInner(TBevelCut v) { Set(bevelInner_, v); }
  void SetBevelOuter(TBevelCut v) { Set(bevelOuter_, v); }
  void SetBevelInnerWidth(int v) { Set(bevelInnerWidth_, std::max(v, 0)); }
  void SetBevelOuterWidth(int v) { Set(bevelOuterWidth_, std::max(v, 0)); }
  void SetBorderStyle(TBorderStyle v) { Set(borderStyle_, v); }
  void SetBorderWidth(int v) { Set(borderWidth_, std::max(v, 0)); }
  void SetBorderSpace(int v) { Set(borderSpace_, std::max(v, 0)); }
  void SetBorderColor(TColor v) { Set(borderColor_, v); }
  void SetBorderSpaceColor(TColor v) { Set(borderSpaceColor_, v); }
  void SetHighlightColor(TColor v) { Set(highlightColor_, v); }
  void SetShadowColor(TColor v) { Set(shadowColor_, v); }

  // Pixels taken from every side of the client rectangle.
  int TotalWidth() const;
  // Draws the frame inside `rect` and returns the rectangle left inside it.
  QRect PaintBevel(QPainter& p, const QRect& rect) const;

 signals:
  void Changed();

 private:
  template <class T>
  void Set(T& field, T v) {
    if (field == v) return;
    field = v;
    emit Changed();
  }

  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvNone;
  int bevelInnerWidth_ = 1;
  int bevelOuterWidth_ = 1;
  TBorderStyle borderStyle_ = bsNone;
  int borderWidth_ = 0;
  int borderSpace_ = 0;
  TColor borderColor_ = clBlack;
  TColor borderSpaceColor_ = clBlack;
  TColor highlightColor_ = clBtnHighlight;
  TColor shadowColor_ = clBtnShadow;
};

// Graphic control base: owns a bevel, keeps InnerRect in step with size and bevel, and
// lets subclasses draw through the Paint() hook. Opaque: it paints every pixel it owns.
class TMMGraphicControl : public QWidget {
  Q_OBJECT
 public:
  explicit TMMGraphicControl(QWidget* parent = nullptr);

  TMMBevel* Bevel() const { return bevel_; }
  TColor Color() const { return color_; }
  void SetColor(TColor c);

  // Framework-style bounds. Use these (not QWidget::resize) from code: they run
  // BoundsChanged at once when the size changed, also while the control is hidden, where
  // Qt would hold the resize event back until it is shown.
  void SetBounds(int left, int top, int width, int height);
  void SetSize(int width, int height) { SetBounds(x(), y(), width, height); }

  // The client rectangle shrunk by the bevel on every side (may be empty).
  QRect BevelInnerRect() const;

 protected:
  // Called when the size or the bevel changed. Base: nothing.
  virtual void BoundsChanged() {}
  // Called when Color changed, before the control is invalidated. Base: nothing.
  virtual void ColorChanged() {}
  // Draw the control. Base: draws the bevel and fills the inside with Color.
  virtual void Paint(QPainter& p);

  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  void CheckBounds();

  TMMBevel* bevel_;
  QSize boundsSize_{-1, -1};  // size BoundsChanged last ran for
  TColor color_ = clBlack;
};

}  // namespace ostrel
