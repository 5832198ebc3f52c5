#pragma once
// A one-line edit for an integer. What the user types is taken when editing ends (Return
// or leaving the field): it is clamped to [MinValue, MaxValue], anything that is not a
// number puts the last value back. Setting the value from code behaves the same way:
// OnChange runs, but only when the value actually changes.

#include <QLineEdit>
#include "platform/BoundedInt.h"

#include <functional>

namespace ostrel {

class TMMNumberEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TMMNumberEdit(QWidget* parent = nullptr);

  int Value() const { return bounded_.value; }
  void SetValue(int v);
  int MinValue() const { return bounded_.min; }
  int MaxValue() const { return bounded_.max; }
  // Sets both limits and pulls the value inside them (running OnChange if it moves).
  void SetRange(int minValue, int maxValue);

  std::function<void()> OnChange;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Commit();
  void Show();

  BoundedInt bounded_;
};

}  // namespace ostrel
