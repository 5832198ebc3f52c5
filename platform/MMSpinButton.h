#pragma once
// A pair of up and down arrow buttons holding a number. The value stays inside
// [MinValue, MaxValue]; setting it from code behaves as a user's step: OnChange runs, but
// only when the value actually changes.

#include <QWidget>
#include "platform/BoundedInt.h"

#include <functional>

class QToolButton;

namespace ostrel {

class TMMSpinButton : public QWidget {
  Q_OBJECT
 public:
  explicit TMMSpinButton(QWidget* parent = nullptr);

  int Value() const { return bounded_.value; }
  void SetValue(int v);
  int MinValue() const { return bounded_.min; }
  int MaxValue() const { return bounded_.max; }
  // Sets both limits and pulls the value inside them (running OnChange if it moves).
  void SetRange(int minValue, int maxValue);
  int Increment() const { return increment_; }
  void SetIncrement(int step);

  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

  std::function<void()> OnChange;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void Step(long long steps);

  BoundedInt bounded_;
  int increment_ = 1;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace ostrel
