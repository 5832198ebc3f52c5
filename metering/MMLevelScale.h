#pragma once
// A column (or row) of dB labels beside a level meter, coloured by the meter's three
// zones, with optional tick bands. It repeats the meter's settings as its own properties
// and lays itself out from them and its size alone; it reads no audio.

#include <vector>

#include "metering/LevelScaleLayout.h"
#include "metering/MMLevelTypes.h"
#include "metering/MMScale.h"
#include "platform/MMGraphicControl.h"

namespace ostrel {

class TMMLevelScale : public TMMGraphicControl {
  Q_OBJECT
 public:
  explicit TMMLevelScale(QWidget* parent = nullptr);

  int ScaleTicks() const { return s_.ScaleTicks; }
  int Point1() const { return s_.Point1; }
  int Point2() const { return s_.Point2; }
  TColor Scale1Color() const { return s_.Scale1Color; }
  TColor Scale2Color() const { return s_.Scale2Color; }
  TColor Scale3Color() const { return s_.Scale3Color; }
  int Sensitivy() const { return s_.Sensitivy; }
  bool LogAmp() const { return s_.LogAmp; }
  TMMLevelKind Kind() const { return s_.Kind; }
  TMMLevelDirection Direction() const { return s_.Direction; }
  TMMScalePos ScalePos() const { return s_.ScalePos; }
  // The owned tick settings; the scale repaints whenever they change.
  TMMLevScale* Scale() const { return scale_; }

  void SetScaleTicks(int v);
  void SetPoint1(int v);
  void SetPoint2(int v);
  void SetScale1Color(TColor v);
  void SetScale2Color(TColor v);
  void SetScale3Color(TColor v);
  void SetSensitivy(int v);
  void SetLogAmp(bool v);
  // Exchanges width and height when the new kind runs across the current shape.
  void SetKind(TMMLevelKind v);
  void SetDirection(TMMLevelDirection v);
  void SetScalePos(TMMScalePos v);

  const LevelScaleSettings& Settings() const { return s_; }
  // The metrics of the control's font, as Paint uses them.
  ScaleTextMetrics TextMetrics() const;
  // The labels Paint draws at the current size and settings.
  std::vector<ScaleLabel> Labels() const;

 protected:
  void Paint(QPainter& p) override;

 private:
  template <class T>
  void Set(T& field, T v) {
    if (field == v) return;
    field = v;
    update();
  }
  TickBandLayout Bands(const ScaleTextMetrics& m) const;

  LevelScaleSettings s_;
  TMMLevScale* scale_;
};

}  // namespace ostrel
