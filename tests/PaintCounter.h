#pragma once
// Counts the paints a widget receives, for tests of what repaints a control and when.

#include <QApplication>
#include <QEvent>
#include <QObject>

namespace ostrel::test {

class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
  // Runs posted events until three rounds in a row bring no paint (an update asked for
  // during a paint arrives a round later), then counts from zero again. False when the
  // widget never stops repainting itself.
  bool Settle() {
    int quiet = 0;
    for (int round = 0; round < 30 && quiet < 3; ++round) {
      paints = 0;
      QApplication::processEvents();
      quiet = paints == 0 ? quiet + 1 : 0;
    }
    paints = 0;
    return quiet >= 3;
  }
  // Paints caused by what happened since the last Settle.
  int PaintsNow() {
    for (int round = 0; round < 3; ++round) QApplication::processEvents();
    return paints;
  }
};

}  // namespace ostrel::test
