#pragma once
// The silence detector's timers of the main window. The check (TimerOff) looks at the
// block peak of every channel in view and starts that channel's one-second timer while it is
// below the threshold; each channel timer counts silent checks and, past "Silence in x sec",
// raises the alarm: red blinking label, red scale picture, alarm sound, log line. TimerOn
// ends the flash. The settings are read straight from the level settings window's controls,
// the counters live in the main window.

#include <QDateTime>
#include <QObject>

#include <functional>

namespace ostrel {

class TfMain;

class SilenceWatch : public QObject {
  Q_OBJECT
 public:
  explicit SilenceWatch(TfMain& main);

  // TimerOff: the check of the channels in view.
  void TimerOffTimer();
  // Timer_start1 .. Timer_start24: count and alarm of channel n (1..24).
  void TimerStartTimer(int n);
  void Timer_start1Time() { TimerStartTimer(1); }
  // TimerOn: end of the alarm flash.
  void TimerOnTimer();

  // Channels the check and the end of the flash cover: 2, 4, 8, 16 or 24 after the input
  // setup window's mode list, none for any other entry.
  int ShownChannels() const;

  // The clock of the log lines; replaceable for tests.
  std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };

 private:
  TfMain& main_;
};

}  // namespace ostrel
