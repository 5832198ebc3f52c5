#include "platform/MMLEDSpin.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLCDNumber>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace ostrel {

TMMLEDSpin::TMMLEDSpin(QWidget* parent)
    : QWidget(parent),
      lcd_(new QLCDNumber(this)),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
  setFocusPolicy(Qt::StrongFocus);
  lcd_->setSegmentStyle(QLCDNumber::Flat);
  lcd_->setFrameShape(QFrame::NoFrame);
  lcd_->setAutoFillBackground(true);
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up_, down_}) {
    b->setAutoRepeat(true);
    b->setFixedWidth(16);
    b->setFocusPolicy(Qt::NoFocus);
  }
  connect(up_, &QToolButton::clicked, this, [this] { SetValue(bounded_.value + increment_); });
  connect(down_, &QToolButton::clicked, this, [this] { SetValue(bounded_.value - increment_); });

  auto* arrows = new QVBoxLayout;
  arrows->setContentsMargins(0, 0, 0, 0);
  arrows->setSpacing(0);
  arrows->addWidget(up_);
  arrows->addWidget(down_);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(1);
  row->addWidget(lcd_, 1);
  row->addLayout(arrows);
  ApplyColors();
  UpdateDisplay();
}

void TMMLEDSpin::SetValue(int v) {
  if (!bounded_.Set(v)) return;
  UpdateDisplay();
  if (OnChange) OnChange();
}

void TMMLEDSpin::SetRange(int minValue, int maxValue) {
  bounded_.SetLimits(minValue, maxValue);
  UpdateDisplay();
  SetValue(bounded_.value);
}

void TMMLEDSpin::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  ApplyColors();
}

void TMMLEDSpin::SetLEDColor(TColor c) {
  if (c == ledColor_) return;
  ledColor_ = c;
  ApplyColors();
}

void TMMLEDSpin::UpdateDisplay() {
  const int digits =
      std::max(QString::number(bounded_.min).size(), QString::number(bounded_.max).size());
  lcd_->setDigitCount(int(std::max<qsizetype>(digits, 1)));
  lcd_->display(bounded_.value);
}

void TMMLEDSpin::ApplyColors() {
  QPalette pal = lcd_->palette();
  pal.setColor(QPalette::Window, ToQColor(color_));
  pal.setColor(QPalette::WindowText, ToQColor(ledColor_));
  lcd_->setPalette(pal);
}

void TMMLEDSpin::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
      SetValue(bounded_.value + increment_);
      break;
    case Qt::Key_Down:
      SetValue(bounded_.value - increment_);
      break;
    case Qt::Key_PageUp:
      SetValue(bounded_.value + 10 * increment_);
      break;
    case Qt::Key_PageDown:
      SetValue(bounded_.value - 10 * increment_);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void TMMLEDSpin::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps) SetValue(bounded_.value + steps * increment_);
  event->accept();
}

}  // namespace ostrel
