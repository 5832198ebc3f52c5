#pragma once
// A read-out of one integer in LED digits. The value stays inside [MinValue, MaxValue];
// setting it runs OnChange, but only when the value actually changes.

#include "platform/BoundedInt.h"
#include "platform/MMGraphicControl.h"

#include <QWidget>

#include <functional>

class QLCDNumber;

namespace ostrel {

class TMMLEDPanel : public QWidget {
  Q_OBJECT
 public:
  explicit TMMLEDPanel(QWidget* parent = nullptr);

  int Value() const { return bounded_.value; }
  void SetValue(int v);
  int MinValue() const { return bounded_.min; }
  int MaxValue() const { return bounded_.max; }
  // Sets both limits and pulls the value inside them (running OnChange if it moves).
  void SetRange(int minValue, int maxValue);

  // Background and lit-segment colours.
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  TColor LEDColor() const { return ledColor_; }
  void SetLEDColor(TColor c);

  // The digits as shown (for checks without reading pixels).
  QString Text() const;

  std::function<void()> OnChange;

 private:
  void UpdateDisplay();
  void ApplyColors();

  BoundedInt bounded_;
  TColor color_ = clBlack;
  TColor ledColor_ = clLime;
  QLCDNumber* lcd_;
};

}  // namespace ostrel
