// The silence detector driven by hand: the check (TimerOff), the per-channel timers and the
// end of the flash, with the settings on the level settings window, the counters on the main
// window and the lines in the log window. Meters are fed known blocks; the clock of the log
// lines and the alarm sound's output are replaced.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>

#include "app/Settings.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "audio/uMultimode.h"
#include "audio_test_files.h"
#include "ballistics/uSet_Level.h"
#include "metering/MMLevel.h"
#include "platform/AudioPlayer.h"
#include "platform/FileDialog.h"
#include "platform/ImageControl.h"
#include "platform/MMLEDLabel.h"
#include "platform/MMLEDPanel.h"
#include "platform/MMLEDSpin.h"
#include "platform/MMNumberEdit.h"
#include "platform/MMSpinButton.h"
#include "platform/RadioGroup.h"
#include "platform/SqlProbe.h"
#include "silence/uLogFile.h"
#include "silence/uSilenceControls.h"
#include "silence/uSilenceWatch.h"

namespace ostrel {
namespace {

constexpr int kLoud = 20000;
const char* const kTime = " Time: 01/02/2024 13:04:05";

class SilenceWatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    CreateWindowSet();
    watch_ = new SilenceWatch(*fMain);
    watch_->Now = [] { return QDateTime(QDate(2024, 2, 1), QTime(13, 4, 5)); };
    sink_ = std::make_shared<test::FakeSink>();
    fSetLevel->MMAudioPlayer1->SetSink(sink_);
    SetMode(4);  // 24 channels
    fMain->LogActive = true;
    SilenceControls::spin_dbChange(*fSetLevel);  // -40 dBFS: amplitude 351
    ASSERT_EQ(fSetLevel->led_db->Value(), 351);
    for (int n = 1; n <= 24; ++n) Feed(n, kLoud);
  }
  void TearDown() override {
    DestroyWindowSet();
    QLocale::setDefault(QLocale::system());
  }

  static void SetMode(int index) {
    fmulti->rg_mode->SetItemIndex(index);
    fmulti->rg_modeClick();  // also when the entry was selected already
  }
  // Gives meter n a block whose own channel peaks at `peak` (the other side stays loud).
  static void Feed(int n, int peak) {
    std::array<std::int16_t, 100> block{};  // 50 stereo frames, 200 bytes
    const int own = n % 2 ? 0 : 1;
    for (int f = 0; f < 50; ++f) block[2 * f + (1 - own)] = kLoud;
    block[2 * 10 + own] = std::int16_t(peak >= 32768 ? -32768 : -peak);
    fMain->Level(n)->FeedData(block.data());
    ASSERT_EQ(fMain->Level(n)->BlockPeak(), peak);
  }
  // One check period: the check, then one second later every channel timer it left running.
  void Period() {
    watch_->TimerOffTimer();
    for (int n = 1; n <= 24; ++n)
      if (fMain->TimerStart(n)->isActive()) watch_->TimerStartTimer(n);
  }
  static QStringList Lines() { return fLogFile->Lines(); }
  static bool Alarming(int n) {
    return !fMain->Led(n)->isVisibleTo(fMain) && fMain->Led(n)->InactiveColor() == clRed;
  }
  static bool PictureRed(int n) {
    QImage& p = fMain->ImaNordic(n)->Picture();
    return p.pixelColor(2, p.height() - 10) == QColor(Qt::red);
  }

  test::ScopedConfigHome config_;
  SilenceWatch* watch_ = nullptr;
  std::shared_ptr<test::FakeSink> sink_;
};

TEST_F(SilenceWatchTest, TheAlarmComesWithTheCheckAfterSilenceInXSecAndRepeatsWhileSilent) {
  ASSERT_EQ(fSetLevel->spin_sec->Value(), 5);
  fMain->Led(3)->SetCaption("Git");
  Feed(3, 140);
  for (int check = 1; check <= 5; ++check) {
    Period();
    SCOPED_TRACE(check);
    EXPECT_EQ(fMain->SilenceCount[3], check);
    EXPECT_FALSE(Alarming(3));
    EXPECT_FALSE(fMain->TimerOn->isActive());
    EXPECT_FALSE(PictureRed(3));
  }
  EXPECT_TRUE(Lines().isEmpty());

  Period();  // the sixth silent check
  EXPECT_TRUE(Alarming(3));
  EXPECT_TRUE(fMain->TimerOn->isActive());
  EXPECT_TRUE(PictureRed(3));
  EXPECT_EQ(Lines(), QStringList({QString("Level 3 : - Git-   -47.39 dB  -->") + kTime}));
  for (int n = 1; n <= 24; ++n) EXPECT_EQ(fMain->SilenceCount[n], n == 3 ? 6 : 0) << n;

  Period();  // still silent: alarm again
  EXPECT_EQ(fMain->SilenceCount[3], 7);
  EXPECT_EQ(Lines().size(), 2);

  // End of the flash: label shown (still red), picture redrawn.
  watch_->TimerOnTimer();
  EXPECT_FALSE(fMain->TimerOn->isActive());
  EXPECT_TRUE(fMain->Led(3)->isVisibleTo(fMain));
  EXPECT_EQ(fMain->Led(3)->InactiveColor(), clRed);
  EXPECT_FALSE(PictureRed(3));

  // A loud check ends it all.
  Feed(3, kLoud);
  Period();
  EXPECT_EQ(fMain->SilenceCount[3], 0);
  EXPECT_EQ(fMain->Led(3)->InactiveColor(), clBlack);
  EXPECT_FALSE(fMain->TimerStart(3)->isActive());
  EXPECT_EQ(Lines().size(), 2);
}

TEST_F(SilenceWatchTest, APeakEqualToTheThresholdIsNotSilent) {
  const struct {
    int peak;
    bool silent;
  } cases[] = {{0, true}, {350, true}, {351, false}, {352, false}, {32768, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.peak);
    Feed(1, c.peak);
    fMain->SilenceCount[1] = 4;
    fMain->Led(1)->hide();
    fMain->Led(1)->SetInactiveColor(clRed);
    fMain->TimerStart(1)->stop();
    watch_->TimerOffTimer();
    EXPECT_EQ(fMain->TimerStart(1)->isActive(), c.silent);
    EXPECT_EQ(fMain->SilenceCount[1], c.silent ? 4 : 0);
    EXPECT_EQ(fMain->Led(1)->isVisibleTo(fMain), !c.silent);
    EXPECT_EQ(fMain->Led(1)->InactiveColor(), c.silent ? clRed : clBlack);
  }
}

TEST_F(SilenceWatchTest, DigitalSilenceLogsMinusInf) {
  Feed(4, 0);
  for (int check = 1; check <= 6; ++check) Period();
  EXPECT_EQ(Lines(), QStringList({QString("Level 4 : - 4-   -Inf dB  -->") + kTime}));
}

TEST_F(SilenceWatchTest, ALogLineNeedsTheChannelInViewAQuietTickAndAnActiveLog) {
  const struct {
    int channel, channels;
    bool quietSeen, logActive, logged;
  } cases[] = {
      {2, 2, true, true, true},     {3, 2, true, true, false},    {3, 4, true, true, true},
      {8, 4, true, true, false},    {8, 8, true, true, true},     {9, 8, true, true, false},
      {16, 16, true, true, true},   {17, 16, true, true, false},  {24, 24, true, true, true},
      {24, 24, false, true, false}, {24, 24, true, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "channel " << c.channel << " of " << c.channels);
    fLogFile->btn_clear->click();
    fMain->ChannelCount = c.channels;
    fMain->QuietSeen[c.channel] = c.quietSeen;
    fMain->LogActive = c.logActive;
    fMain->SilenceCount[c.channel] = 5;
    watch_->TimerStartTimer(c.channel);
    EXPECT_TRUE(Alarming(c.channel));  // the alarm itself comes in every case
    EXPECT_EQ(Lines().size(), c.logged ? 1 : 0);
  }
}

TEST_F(SilenceWatchTest, WithEightChannelsShownChannelsNineToTwentyFourAreLeftAlone) {
  SetMode(2);
  ASSERT_EQ(fMain->ChannelCount, 8);
  for (int n = 1; n <= 24; ++n) Feed(n, 0);
  fMain->Led(12)->hide();
  watch_->TimerOffTimer();
  for (int n = 1; n <= 24; ++n) EXPECT_EQ(fMain->TimerStart(n)->isActive(), n <= 8) << n;

  // A channel 12 timer left running from a 16-channel mode still alarms, but logs nothing.
  fMain->TimerStart(12)->start();
  fMain->SilenceCount[12] = 5;
  fMain->QuietSeen[12] = true;
  watch_->TimerStartTimer(12);
  EXPECT_TRUE(Alarming(12));
  EXPECT_TRUE(Lines().isEmpty());

  for (int n = 1; n <= 24; ++n) fMain->Led(n)->hide();
  watch_->TimerOnTimer();
  for (int n = 1; n <= 24; ++n) EXPECT_EQ(fMain->Led(n)->isVisibleTo(fMain), n <= 8) << n;
}

TEST_F(SilenceWatchTest, AModeOutsideTheListChecksAndShowsNoChannel) {
  Feed(1, 0);
  fMain->Led(1)->hide();
  fmulti->rg_mode->SetItemIndex(-1);
  EXPECT_EQ(watch_->ShownChannels(), 0);
  watch_->TimerOffTimer();
  watch_->TimerOnTimer();
  EXPECT_FALSE(fMain->TimerStart(1)->isActive());
  EXPECT_FALSE(fMain->Led(1)->isVisibleTo(fMain));
}

TEST_F(SilenceWatchTest, StopLogfileRestartsTheCountsAndStartLogfileBringsTheLinesBack) {
  Feed(5, 0);
  for (int check = 1; check <= 6; ++check) Period();
  ASSERT_EQ(Lines().size(), 1);

  fLogFile->btn_stoplog->click();
  EXPECT_EQ(fMain->SilenceCount[5], 0);
  for (int check = 1; check <= 5; ++check) {
    Period();
    EXPECT_EQ(fMain->SilenceCount[5], check);
    // A quiet tick turns the label back to black.
    EXPECT_EQ(fMain->Led(5)->InactiveColor(), clBlack);
  }
  Period();
  EXPECT_TRUE(Alarming(5));
  EXPECT_EQ(Lines().size(), 1);  // stopped: no line

  fLogFile->btn_startlog->click();
  Period();
  EXPECT_EQ(Lines().size(), 2);
}

TEST_F(SilenceWatchTest, AnAlarmSetsTheIntervalBackToTheStoredOne) {
  fSetLevel->sp_interval->SetValue(3);
  SilenceControls::sp_intervalChange(*fSetLevel);
  EXPECT_EQ(fMain->TimerOff->interval(), 3000);

  fMain->SilenceCount[1] = 5;
  watch_->TimerStartTimer(1);  // nothing stored: the interval stays
  EXPECT_EQ(fSetLevel->sp_interval->Value(), 3);
  EXPECT_EQ(fMain->TimerOff->interval(), 3000);

  WriteInt("rg Interval", 20);
  watch_->TimerStartTimer(1);
  EXPECT_EQ(fSetLevel->sp_interval->Value(), 20);
  EXPECT_EQ(fMain->TimerOff->interval(), 20000);
}

TEST_F(SilenceWatchTest, TheCheckRunsExactlyWhileTheDetectorIsTicked) {
  fSetLevel->chb_detect->setChecked(true);
  SilenceControls::chb_detectClick(*fSetLevel);
  EXPECT_TRUE(fMain->TimerOff->isActive());
  fSetLevel->chb_detect->setChecked(false);
  SilenceControls::chb_detectClick(*fSetLevel);
  EXPECT_FALSE(fMain->TimerOff->isActive());
  // The end of a flash switches the check on only when the box is ticked.
  watch_->TimerOnTimer();
  EXPECT_FALSE(fMain->TimerOff->isActive());
  fSetLevel->chb_detect->setChecked(true);
  watch_->TimerOnTimer();
  EXPECT_TRUE(fMain->TimerOff->isActive());
}

TEST_F(SilenceWatchTest, AQuietTickEndsAnotherChannelsFlash) {
  // TimerOn is one for all channels.
  fMain->SilenceCount[1] = 5;
  watch_->TimerStartTimer(1);
  ASSERT_TRUE(fMain->TimerOn->isActive());
  watch_->TimerStartTimer(2);
  EXPECT_FALSE(fMain->TimerOn->isActive());
  EXPECT_FALSE(fMain->Led(1)->isVisibleTo(fMain));
}

TEST_F(SilenceWatchTest, ThresholdAmplitudeFollowsTheDbfsSetting) {
  const struct {
    int dbfs, amplitude;
  } cases[] = {{-40, 351}, {-20, 3468}, {-60, 35}, {-70, 11}, {-1, 30500}, {-99, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dbfs);
    fSetLevel->spin_db2->SetValue(c.dbfs);
    SilenceControls::spin_dbChange(*fSetLevel);
    EXPECT_EQ(fSetLevel->nEdit->Value(), c.dbfs);
    EXPECT_EQ(fSetLevel->spin_db->Value(), c.amplitude);
    EXPECT_EQ(fSetLevel->led_db->Value(), c.amplitude);
  }
}

TEST_F(SilenceWatchTest, TheRepeatPauseFollowsRepetInXSec) {
  fSetLevel->sp_arlarm->SetValue(7);
  SilenceControls::sp_arlarmChange(*fSetLevel);
  EXPECT_EQ(fSetLevel->t_reset->interval(), 7000);
  EXPECT_FALSE(fSetLevel->t_reset->isActive());
}

TEST_F(SilenceWatchTest, LoadAudioFileTakesTheChosenFileAndACancelKeepsTheOldOne) {
  QString answer = "/sounds/alarms/bell.wav";
  fSetLevel->MMWaveOpenDialog1->SetChooser([&](const TFileDialog& d) {
    EXPECT_EQ(d.Title, "Open Wave File");
    EXPECT_EQ(d.QtFilter(), "Wave Files(*.wav)");
    return answer;
  });
  SilenceControls::btn_loadClick(*fSetLevel);
  EXPECT_EQ(fSetLevel->MMAudioPlayer1->FileName(), "/sounds/alarms/bell.wav");
  EXPECT_EQ(fSetLevel->lab_file->text(), "bell.wav");

  answer.clear();
  SilenceControls::btn_loadClick(*fSetLevel);
  EXPECT_EQ(fSetLevel->MMAudioPlayer1->FileName(), "/sounds/alarms/bell.wav");
  EXPECT_EQ(fSetLevel->lab_file->text(), "bell.wav");
}

class AlarmSoundTest : public SilenceWatchTest {
 protected:
  void Alarm() {
    fMain->SilenceCount[1] = 5;
    watch_->TimerStartTimer(1);
  }
  QTemporaryDir dir_;
};

TEST_F(AlarmSoundTest, TheSoundPlaysThenRestsUntilTheRepeatTimerReArmsIt) {
  const QString wav = dir_.filePath("bell.wav");
  ASSERT_TRUE(test::WriteWav(wav, 1, 8000, {1000, -1000, 1000}));
  fSetLevel->MMAudioPlayer1->SetFileName(wav);
  fSetLevel->cb_arlarm->setChecked(true);

  Alarm();
  ASSERT_TRUE(sink_->WaitPlaying());
  Alarm();  // while it plays: nothing more
  sink_->Finish();
  ASSERT_TRUE(test::PumpUntil([] { return !fSetLevel->MMAudioPlayer1->Playing(); }));
  // The end of the sound unticks "Play Sound File" and starts the repeat pause.
  EXPECT_FALSE(fSetLevel->cb_arlarm->isChecked());
  EXPECT_TRUE(fSetLevel->t_reset->isActive());
  EXPECT_EQ(sink_->Plays(), 1);

  Alarm();  // during the pause: no sound
  QCoreApplication::processEvents();
  EXPECT_FALSE(fSetLevel->MMAudioPlayer1->Playing());

  SilenceControls::t_resetTimer(*fSetLevel);
  EXPECT_TRUE(fSetLevel->cb_arlarm->isChecked());
  EXPECT_FALSE(fSetLevel->t_reset->isActive());
  Alarm();
  ASSERT_TRUE(sink_->WaitPlaying());
  EXPECT_EQ(sink_->Plays(), 2);
  sink_->Finish();
  ASSERT_TRUE(test::PumpUntil([] { return !fSetLevel->MMAudioPlayer1->Playing(); }));
}

TEST_F(AlarmSoundTest, PlaySoundFileWithoutAFileStaysTickedAndSilent) {
  fSetLevel->MMAudioPlayer1->SetFileName(QString());
  fSetLevel->cb_arlarm->setChecked(true);
  Alarm();
  QCoreApplication::processEvents();
  EXPECT_EQ(sink_->Plays(), 0);
  EXPECT_TRUE(fSetLevel->cb_arlarm->isChecked());
  EXPECT_FALSE(fSetLevel->t_reset->isActive());

  fSetLevel->MMAudioPlayer1->SetFileName(dir_.filePath("missing.wav"));
  Alarm();
  ASSERT_TRUE(test::PumpUntil([] { return !fSetLevel->MMAudioPlayer1->Playing(); }));
  EXPECT_EQ(sink_->Plays(), 0);
  EXPECT_TRUE(fSetLevel->cb_arlarm->isChecked());
}

}  // namespace
}  // namespace ostrel
