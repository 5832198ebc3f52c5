#include "platform/MMNumberEdit.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <climits>

namespace ostrel {

TMMNumberEdit::TMMNumberEdit(QWidget* parent) : QLineEdit(parent) {
  // Only a sign and digits can be typed; the range is applied when editing ends, so a
  // value can pass through out-of-range text on its way (typing "-4" then "-40").
  setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d{0,10}")), this));
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  connect(this, &QLineEdit::editingFinished, this, &TMMNumberEdit::Commit);
  Show();
}

void TMMNumberEdit::SetValue(int v) {
  v = std::clamp(v, min_, max_);
  if (v == value_) {
    Show();
    return;
  }
  value_ = v;
  Show();
  if (OnChange) OnChange();
}

void TMMNumberEdit::SetRange(int minValue, int maxValue) {
  min_ = minValue;
  max_ = std::max(minValue, maxValue);
  SetValue(value_);
}

void TMMNumberEdit::Commit() {
  bool ok = false;
  const long long typed = text().trimmed().toLongLong(&ok);
  if (!ok) {
    Show();
    return;
  }
  SetValue(int(std::clamp<long long>(typed, INT_MIN, INT_MAX)));
}

void TMMNumberEdit::Show() {
  const QString shown = QString::number(value_);
  if (text() != shown) setText(shown);
}

void TMMNumberEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && text() != QString::number(value_)) {
    Show();  // drop what was typed, keep the window open
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace ostrel
