#pragma once
// Coalesces the screen copies of fast-changing controls to one per display frame. A meter
// composes its off-screen bar at every reading, but copying it to the screen a thousand
// times a second costs the program and the X server far more than the eye can use; the
// clock collects the changed rectangles and hands them to Qt at most once per frame.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

namespace ostrel {

class FrameClock : public QObject {
  Q_OBJECT
 public:
  static constexpr int kDefaultIntervalMs = 16;  // about 60 frames a second

  // The clock of the GUI thread.
  static FrameClock& Instance();

  // Schedules `rect` of `widget` for the next frame. Idle when nothing is pending.
  void RequestUpdate(QWidget* widget, const QRect& rect);

  int IntervalMs() const { return timer_.interval(); }
  void SetIntervalMs(int ms) { timer_.setInterval(std::max(ms, 1)); }

  // Hands every pending rectangle to Qt now (the timer does this once per frame).
  void Flush();
  bool Pending() const { return !pending_.isEmpty(); }

 private:
  FrameClock();

  struct Dirty {
    QPointer<QWidget> widget;  // a control may go away between request and frame
    QRect rect;
  };
  QHash<QWidget*, Dirty> pending_;
  QTimer timer_;
};

}  // namespace ostrel
