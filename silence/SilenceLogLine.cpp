#include "silence/SilenceLogLine.h"

#include "metering/MMLevel.h"

namespace ostrel {

namespace {
// The locale's long time format with its time-zone fields taken out: the log has always
// shown the wall-clock time only.
QString TimeFormatWithoutZone(const QLocale& locale) {
  const QString format = locale.timeFormat(QLocale::LongFormat);
  QString out;
  bool quoted = false;
  for (QChar c : format) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (!quoted && c == QLatin1Char('t')) continue;
    out += c;
  }
  return out.simplified();
}
}  // namespace

int SilenceLogThreshold(int channel) {
  if (channel <= 2) return 2;
  if (channel <= 4) return 4;
  if (channel <= 8) return 8;
  if (channel <= 16) return 16;
  return 24;
}

QString SilenceLogTime(const QDateTime& when, const QLocale& locale) {
  const QString date = locale.toString(when.date(), QLocale::ShortFormat);
  if (when.time() == QTime(0, 0)) return date;
  return date + QLatin1Char(' ') + locale.toString(when.time(), TimeFormatWithoutZone(locale));
}

QString SilenceLogLine(int channel, const QString& label, int blockPeak, const QDateTime& when,
                       const QLocale& locale) {
  return QStringLiteral("Level ") + QString::number(channel) + QStringLiteral(" : - ") + label +
         QStringLiteral("-   ") + TMMCustomLevel::LevelToDbText(blockPeak, 32768, 0) +
         QStringLiteral(" dB  -->") + QStringLiteral(" Time: ") + SilenceLogTime(when, locale);
}

}  // namespace ostrel
