#include "platform/MMLEDPanel.h"

#include <QHBoxLayout>
#include <QLCDNumber>

#include <algorithm>

namespace ostrel {

TMMLEDPanel::TMMLEDPanel(QWidget* parent) : QWidget(parent), lcd_(new QLCDNumber(this)) {
  lcd_->setSegmentStyle(QLCDNumber::Flat);
  lcd_->setFrameShape(QFrame::Panel);
  lcd_->setFrameShadow(QFrame::Sunken);
  lcd_->setAutoFillBackground(true);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(lcd_);
  ApplyColors();
  UpdateDisplay();
}

void TMMLEDPanel::SetValue(int v) {
  if (!bounded_.Set(v)) return;
  lcd_->display(bounded_.value);
  if (OnChange) OnChange();
}

void TMMLEDPanel::SetRange(int minValue, int maxValue) {
  bounded_.SetLimits(minValue, maxValue);
  UpdateDisplay();
  SetValue(bounded_.value);
}

void TMMLEDPanel::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  ApplyColors();
}

void TMMLEDPanel::SetLEDColor(TColor c) {
  if (c == ledColor_) return;
  ledColor_ = c;
  ApplyColors();
}

QString TMMLEDPanel::Text() const {
  return QString::number(bounded_.value);
}

void TMMLEDPanel::UpdateDisplay() {
  // Room for the widest value of the range, its minus sign included.
  const auto digits =
      std::max(QString::number(bounded_.min).size(), QString::number(bounded_.max).size());
  lcd_->setDigitCount(int(std::max<qsizetype>(digits, 1)));
  lcd_->display(bounded_.value);
}

void TMMLEDPanel::ApplyColors() {
  QPalette pal = lcd_->palette();
  pal.setColor(QPalette::Window, ToQColor(color_));
  pal.setColor(QPalette::WindowText, ToQColor(ledColor_));
  lcd_->setPalette(pal);
}

}  // namespace ostrel
