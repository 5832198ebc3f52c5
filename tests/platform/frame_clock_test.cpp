// The frame clock: screen copies requested between two frames reach Qt once, as the union
// of their rectangles; a control that went away in between is skipped; an idle clock stops.
#include "platform/FrameClock.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QPaintEvent>
#include <QWidget>

#include <memory>

namespace ostrel {
namespace {

class PaintRecorder : public QWidget {
 public:
  QRegion painted;
  int paints = 0;

 protected:
  void paintEvent(QPaintEvent* e) override {
    painted += e->region();
    ++paints;
  }
};

TEST(FrameClock, RequestsBetweenFramesArriveOnceAsTheirUnion) {
  PaintRecorder w;
  w.resize(40, 200);
  w.show();
  QCoreApplication::processEvents();
  w.painted = QRegion();
  w.paints = 0;

  FrameClock& clock = FrameClock::Instance();
  clock.RequestUpdate(&w, QRect(0, 100, 40, 5));
  clock.RequestUpdate(&w, QRect(0, 90, 40, 5));
  clock.RequestUpdate(&w, QRect());  // nothing to copy
  QCoreApplication::processEvents();
  EXPECT_EQ(w.paints, 0) << "nothing reaches the screen before the frame";
  EXPECT_TRUE(clock.Pending());

  clock.Flush();
  QCoreApplication::processEvents();
  EXPECT_EQ(w.paints, 1);
  EXPECT_TRUE(w.painted.contains(QRect(0, 90, 40, 15)));
  EXPECT_FALSE(clock.Pending());
}

TEST(FrameClock, ControlDestroyedBeforeTheFrameIsSkipped) {
  FrameClock& clock = FrameClock::Instance();
  auto w = std::make_unique<QWidget>();
  w->resize(10, 10);
  clock.RequestUpdate(w.get(), QRect(0, 0, 10, 10));
  w.reset();
  clock.Flush();  // must not touch the destroyed control
  EXPECT_FALSE(clock.Pending());
}

}  // namespace
}  // namespace ostrel
