#pragma once
// The text of one silence alarm in the log: channel, label, level and local date and time,
// e.g. "Level 3 : - Git-   -47.39 dB  --> Time: 01/02/2024 13:04:05".

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace ostrel {

// The smallest number of channels in view that shows channel n (1..24): 2, 4, 8, 16 or 24.
int SilenceLogThreshold(int channel);

// The date and time as the log writes them: the locale's short date, a space and its long
// time without the time zone; the time is left out at exactly midnight.
QString SilenceLogTime(const QDateTime& when, const QLocale& locale = QLocale());

// The whole line for channel n with its label, the block peak at the alarm and the time.
QString SilenceLogLine(int channel, const QString& label, int blockPeak, const QDateTime& when,
                       const QLocale& locale = QLocale());

}  // namespace ostrel
