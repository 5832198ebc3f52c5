#include "labels_skins/uLabels.h"

#include "app/Settings.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "platform/MMLEDLabel.h"
#include "platform/WindowStyle.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ostrel {

namespace {
constexpr int kBoxWidth = 41, kBoxHeight = 21, kColumnStep = 54, kLeft = 14;
constexpr int kRowTop[3] = {52, 122, 192};

QString StoredName(int n) {
  return QStringLiteral("Edit ") + QString::number(n);
}
}  // namespace

TfLabels::TfLabels(QWidget* parent) : QDialog(parent, kDialogOnTop) {
  SetUpFixedWindow(this, "fLabels", QStringLiteral("Label for the Levels"), 452, 299);

  auto* heading = new QLabel(QStringLiteral("You have 3 letters to label your channels"), this);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  heading->setAlignment(Qt::AlignCenter);
  heading->setGeometry(0, 14, width(), 22);

  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  for (int n = 1; n <= 24; ++n) {
    const int row = (n - 1) / 8, column = (n - 1) % 8;
    const int x = kLeft + column * kColumnStep, y = kRowTop[row];
    auto* box = new QLineEdit(QString::number(n), this);
    box->setObjectName(QStringLiteral("Edit") + QString::number(n));
    box->setGeometry(x, y, kBoxWidth, kBoxHeight);
    Edit[n] = box;
    // The program's captions spell channel 9 "CH".
    auto* caption = new QLabel(
        (n == 9 ? QStringLiteral("CH ") : QStringLiteral("Ch ")) + QString::number(n), this);
    caption->setFont(small);
    caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    caption->setGeometry(x - 6, y + kBoxHeight + 2, kBoxWidth + 12, 16);
  }

  Button1 = new QPushButton(QStringLiteral("Okay"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(width() - 100, height() - 40, 86, 28);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TfLabels::Button1Click);
  CentreOnScreen(this);
}

void TfLabels::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TfLabels::FormShow() {
  for (int n = 1; n <= 24; ++n) Edit[n]->setText(ReadString(StoredName(n), Edit[n]->text()));
}

void TfLabels::Button1Click() {
  fMain->Led(1)->SetCaption(QStringLiteral(" ") + Edit[1]->text());
  for (int n = 2; n <= 24; ++n) fMain->Led(n)->SetCaption(Edit[n]->text());
  for (int n = 1; n <= 24; ++n) WriteString(StoredName(n), Edit[n]->text());
  accept();
}

}  // namespace ostrel
