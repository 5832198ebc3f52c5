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
  v = std::clamp(v, min_, max_);
  if (v == value_) return;
  value_ = v;
  lcd_->display(value_);
  if (OnChange) OnChange();
}

void TMMLEDPanel::SetRange(int minValue, int maxValue) {
  min_ = minValue;
  max_ = std::max(minValue, maxValue);
  UpdateDisplay();
  SetValue(value_);
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
  return QString::number(value_);
}

void TMMLEDPanel::UpdateDisplay() {
  // Room for the widest value of the range, its minus sign included.
  const auto digits = std::max(QString::number(min_).size(), QString::number(max_).size());
  lcd_->setDigitCount(int(std::max<qsizetype>(digits, 1)));
  lcd_->display(value_);
}

void TMMLEDPanel::ApplyColors() {
  QPalette pal = lcd_->palette();
  pal.setColor(QPalette::Window, ToQColor(color_));
  pal.setColor(QPalette::WindowText, ToQColor(ledColor_));
  lcd_->setPalette(pal);
}

}  // namespace ostrel
