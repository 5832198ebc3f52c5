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
  const bool changed = bounded_.Set(v);
  Show();  // also puts back text typed past the limits when the value stays
  if (changed && OnChange) OnChange();
}

void TMMNumberEdit::SetRange(int minValue, int maxValue) {
  bounded_.SetLimits(minValue, maxValue);
  SetValue(bounded_.value);
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
  const QString shown = QString::number(bounded_.value);
  if (text() != shown) setText(shown);
}

void TMMNumberEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && text() != QString::number(bounded_.value)) {
    Show();  // drop what was typed, keep the window open
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace ostrel
