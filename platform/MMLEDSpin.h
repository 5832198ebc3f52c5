#pragma once
// A number shown in LED digits with up and down buttons. The value stays inside
// [MinValue, MaxValue]; setting it from code behaves as a user's step: OnChange runs,
// but only when the value actually changes.

#include "platform/BoundedInt.h"
#include "platform/MMGraphicControl.h"

#include <QWidget>

#include <functional>

class QLCDNumber;
class QToolButton;

namespace ostrel {

class TMMLEDSpin : public QWidget {
  Q_OBJECT
 public:
  explicit TMMLEDSpin(QWidget* parent = nullptr);

  int Value() const { return bounded_.value; }
  void SetValue(int v);
  int MinValue() const { return bounded_.min; }
  int MaxValue() const { return bounded_.max; }
  // Sets both limits and pulls the value inside them (running OnChange if it moves).
  void SetRange(int minValue, int maxValue);
  int Increment() const { return increment_; }
  void SetIncrement(int step) { increment_ = std::max(step, 1); }

  TColor Color() const { return color_; }
  void SetColor(TColor c);
  TColor LEDColor() const { return ledColor_; }
  void SetLEDColor(TColor c);

  std::function<void()> OnChange;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void UpdateDisplay();
  void ApplyColors();

  BoundedInt bounded_;
  int increment_ = 1;
  TColor color_ = clBlack;
  TColor ledColor_ = clLime;
  QLCDNumber* lcd_;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace ostrel
