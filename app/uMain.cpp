#include "app/uMain.h"

#include "app/uInfo.h"
#include "app/uWindowSet.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>

namespace ostrel {

TfMain::TfMain(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("fMain"));
  setWindowTitle(QStringLiteral("Multi Ostrel "));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setGeometry(504, 178, kDesignWidth, kFixedHeight);
  setMinimumHeight(kFixedHeight);
  setMaximumHeight(kFixedHeight);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setInterval(2000);
  connect(Timer1, &QTimer::timeout, this, &TfMain::Timer1Timer);
  Timer1->start();
}

void TfMain::Timer1Timer() {
  if (FrmInfo) FrmInfo->close();
  Timer1->stop();
}

void TfMain::FormClose() {}

void TfMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The information window stays in front while the program comes up, whichever window
  // the window manager (if any) mapped last.
  if (FrmInfo && FrmInfo->isVisible()) FrmInfo->raise();
}

void TfMain::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
  // The main window ends the program even while secondary windows are still open.
  QCoreApplication::quit();
}

}  // namespace ostrel
