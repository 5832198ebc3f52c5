#include "platform/FrameClock.h"

namespace ostrel {

FrameClock& FrameClock::Instance() {
  static FrameClock* clock = new FrameClock;  // lives as long as the GUI thread's loop
  return *clock;
}

FrameClock::FrameClock() {
  // A steady cadence while controls keep changing; it stops after an idle frame.
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(kDefaultIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &FrameClock::Flush);
}

void FrameClock::RequestUpdate(QWidget* widget, const QRect& rect) {
  if (!widget || rect.isEmpty()) return;
  auto it = pending_.find(widget);
  if (it == pending_.end() || it->widget.isNull()) {
    pending_.insert(widget, Dirty{widget, rect});
  } else {
    it->rect |= rect;
  }
  if (!timer_.isActive()) timer_.start();
}

void FrameClock::Flush() {
  if (pending_.isEmpty()) {
    timer_.stop();
    return;
  }
  const QHash<QWidget*, Dirty> frame = std::exchange(pending_, {});
  for (const Dirty& d : frame)
    if (d.widget) d.widget->update(d.rect);
}

}  // namespace ostrel
