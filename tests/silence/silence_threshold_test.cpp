// The threshold amplitude of a dBFS setting and the text of a log line.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

#include <cmath>

#include "silence/SilenceLogLine.h"
#include "silence/SilenceThreshold.h"

namespace ostrel {
namespace {

struct ThresholdCase {
  int dbfs;
  int amplitude;
};

TEST(SilenceThreshold, AmplitudesOfTheWorkedExamples) {
  const ThresholdCase cases[] = {{-40, 351}, {-20, 3468}, {-60, 35}, {-70, 11}, {-1, 30500}};
  for (const auto& c : cases) EXPECT_EQ(SilenceThresholdAmplitude(c.dbfs), c.amplitude) << c.dbfs;
}

TEST(SilenceThreshold, ThresholdsNoAmplitudeRoundsToTakeTheLargestAmplitudeBelowThem) {
  // -91 and -85 are readings of 1 and 2; between and below them no amplitude rounds.
  const ThresholdCase cases[] = {{-99, 1}, {-92, 1}, {-91, 1}, {-90, 1}, {-86, 1},
                                 {-85, 2}, {-84, 2}, {-82, 2}, {-81, 3}, {-80, 3},
                                 {-79, 4}, {-78, 4}, {-77, 5}, {-76, 5}, {-75, 6}};
  for (const auto& c : cases) EXPECT_EQ(SilenceThresholdAmplitude(c.dbfs), c.amplitude) << c.dbfs;
}

TEST(SilenceThreshold, EveryThresholdIsTheLastAmplitudeAtOrBelowIt) {
  int previous = 0;
  for (int dbfs = -99; dbfs <= -1; ++dbfs) {
    const int a = SilenceThresholdAmplitude(dbfs);
    ASSERT_GE(a, previous) << dbfs;  // a higher threshold never means a smaller amplitude
    previous = a;
    // Below the reading of amplitude 1 (-91) only digital silence is silent.
    if (dbfs >= -91) {
      EXPECT_LE(std::nearbyint(SilenceAmplitudeDb(a)), dbfs) << dbfs;
    }
    EXPECT_GT(std::nearbyint(SilenceAmplitudeDb(a + 1)), dbfs) << dbfs;
  }
}

TEST(SilenceLogLine, ThresholdsOfTheChannelsInView) {
  const int expected[25] = {0,  2,  2,  4,  4,  8,  8,  8,  8,  16, 16, 16, 16,
                            16, 16, 16, 16, 24, 24, 24, 24, 24, 24, 24, 24};
  for (int n = 1; n <= 24; ++n) EXPECT_EQ(SilenceLogThreshold(n), expected[n]) << n;
}

TEST(SilenceLogLine, ChannelLabelLevelAndLocalTime) {
  const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
  const QLocale us(QLocale::English, QLocale::UnitedStates);
  const QDateTime afternoon(QDate(2024, 2, 1), QTime(13, 4, 5));
  struct Case {
    int channel;
    QString label;
    int peak;
    QLocale locale;
    QDateTime when;
    QString line;
  } cases[] = {
      {3, "Git", 140, uk, afternoon, "Level 3 : - Git-   -47.39 dB  --> Time: 01/02/2024 13:04:05"},
      {24, "Drm", 0, uk, afternoon, "Level 24 : - Drm-   -Inf dB  --> Time: 01/02/2024 13:04:05"},
      {1, "1", 32768, us, afternoon, "Level 1 : - 1-   0.00 dB  --> Time: 2/1/24 1:04:05 PM"},
      // Exactly midnight shows the date alone.
      {12, "Vox", 351, uk, QDateTime(QDate(2024, 12, 31), QTime(0, 0)),
       "Level 12 : - Vox-   -39.40 dB  --> Time: 31/12/2024"},
      {12, "Vox", 351, uk, QDateTime(QDate(2024, 12, 31), QTime(0, 0, 0, 1)),
       "Level 12 : - Vox-   -39.40 dB  --> Time: 31/12/2024 00:00:00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SilenceLogLine(c.channel, c.label, c.peak, c.when, c.locale).toStdString(),
              c.line.toStdString());
}

}  // namespace
}  // namespace ostrel
