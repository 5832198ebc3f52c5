#include "platform/MMSpinButton.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

namespace ostrel {

TMMSpinButton::TMMSpinButton(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  setFocusPolicy(Qt::StrongFocus);
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up_, down_}) {
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }
  connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
  connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(up_);
  column->addWidget(down_);
}

void TMMSpinButton::Step(long long steps) {
  // Widened so a step past the int range clamps instead of wrapping around.
  const long long next =
      std::clamp<long long>(bounded_.value + steps * increment_, bounded_.min, bounded_.max);
  SetValue(int(next));
}

void TMMSpinButton::SetValue(int v) {
  if (!bounded_.Set(v)) return;
  if (OnChange) OnChange();
}

void TMMSpinButton::SetRange(int minValue, int maxValue) {
  bounded_.SetLimits(minValue, maxValue);
  SetValue(bounded_.value);
}

void TMMSpinButton::SetIncrement(int step) {
  increment_ = std::max(step, 1);
}

void TMMSpinButton::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
      Step(1);
      break;
    case Qt::Key_Down:
      Step(-1);
      break;
    case Qt::Key_PageUp:
      Step(10);
      break;
    case Qt::Key_PageDown:
      Step(-10);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void TMMSpinButton::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps) Step(steps);
  event->accept();
}

}  // namespace ostrel
