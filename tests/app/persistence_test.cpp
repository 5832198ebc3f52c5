// Every setting survives a restart: the main window's show step, start-up pass and close
// step against a real settings store, over whole program runs (window sets).
#include "ProgramTestEnv.h"
#include "app/Settings.h"
#include "app/uInfo.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "audio/uMultimode.h"
#include "ballistics/uSet_Level.h"
#include "metering/MMLevel.h"
#include "platform/AudioPlayer.h"
#include "platform/MMColorButton.h"
#include "platform/MMLEDLabel.h"
#include "platform/MMLEDSpin.h"
#include "platform/MMSpinButton.h"
#include "platform/RadioGroup.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace ostrel {
namespace {

// Runs `action` once the input setup window is on screen and modal.
void WhenSetupShown(std::function<void()> action) {
  auto* poll = new QTimer(fmulti);
  QObject::connect(poll, &QTimer::timeout, fmulti, [poll, action] {
    if (!fmulti->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    action();
  });
  poll->start(0);
}

// The values the close step writes, with their registry types (4 number, 1 text).
std::vector<std::pair<QString, int>> CloseStepValues() {
  std::vector<std::pair<QString, int>> values;
  const char* perChannel[] = {"Level Delay",     "Level Speed",     "Level Decay",
                              "Level NumPeaks",  "Level Sensi",     "Level Bar1Color",
                              "Level Bar2Color", "Level Bar3Color", "Level Point1",
                              "Level Point2",    "LedColor"};
  for (int n = 1; n <= 24; ++n)
    for (const char* p : perChannel) values.push_back({p + QString::number(n), 4});
  for (const char* name :
       {"Point1",      "rg Meter",   "rg Integral ms", "rg Interval", "rg Integral",
        "rg Stereo",   "Peaks nr",   "PSpot Space",    "Leave Peaks", "rg Mode",
        "Window Left", "Window Top", "Window height",  "Input Mode",  "db_value",
        "sec_value",   "nEdit2",     "db_value2",      "cb detect",   "Stay Top",
        "arlam sec"})
    values.push_back({name, 4});
  values.push_back({"arlam file", 1});
  return values;
}

TEST(Persistence, FirstStartAsksForDevicesThenAppliesTheStandardAndTheButtonsColours) {
  test::ProgramTestEnv env(/*setupConfirmed=*/false);
  CreateWindowSet();
  bool setupWasModal = false;
  bool metersStillIdle = false;
  WhenSetupShown([&] {
    setupWasModal = fmulti->isModal();
    metersStillIdle = fMain->MMWaveIn[1]->State() == wiClosed;
    fmulti->btnOk->click();
  });
  fMain->show();
  EXPECT_TRUE(setupWasModal);
  EXPECT_TRUE(metersStillIdle);
  EXPECT_TRUE(ReadBool("is Sound", false));

  EXPECT_TRUE(fMain->LogActive);
  EXPECT_EQ(fSetLevel->sp_arlarm->Value(), 10);
  EXPECT_EQ(fmulti->rg_mode->ItemIndex(), 2);
  EXPECT_EQ(fMain->ChannelCount, 8);
  for (int n = 1; n <= 24; ++n) EXPECT_EQ(fMain->Led(n)->Caption(), "") << n;

  fMain->Timer1Timer();
  EXPECT_FALSE(FrmInfo->isVisible());
  for (int n = 1; n <= 24; ++n) {
    SCOPED_TRACE(n);
    const TMMLevel* level = fMain->Level(n);
    EXPECT_EQ(level->PeakDelay(), 49);
    EXPECT_EQ(level->PeakSpeed(), 1);
    EXPECT_EQ(level->MeterStandard, 1);  // "DIN 45406", the list's design entry
    EXPECT_EQ(level->Sensitivy(), -72);
    EXPECT_EQ(level->Point2(), 84);
    EXPECT_EQ(level->Point1(), 58);
    EXPECT_EQ(level->Bar1Color(), clLime);
    EXPECT_EQ(level->Bar2Color(), clYellow);
    EXPECT_EQ(level->Bar3Color(), clRed);
  }
  EXPECT_EQ(fMain->Panel1->text(), "DIN 45406");
  DestroyWindowSet();
}

TEST(Persistence, CloseStoresEveryValueOfItsListUnderItsNameAndKind) {
  test::ProgramTestEnv env;
  CreateWindowSet();
  fMain->show();
  fMain->close();  // by the frame: the same close step as "Exit && Save"
  test::SqlProbe sql(env.home.StoreFile());
  for (const auto& [name, type] : CloseStepValues()) {
    SCOPED_TRACE(name.toStdString());
    const auto rows = sql.Query(
        "SELECT type, typeof(data) FROM \"values\" WHERE root = 2147483649 AND "
        "path = 'Quandrel\\Brisolt 2013' AND name = ?",
        {name});
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][0].toInt(), type);
    EXPECT_EQ(rows[0][1].toString(), type == 1 ? "text" : "integer");
  }
  EXPECT_EQ(ReadInt("Input Mode", 0), fMain->width());
  EXPECT_EQ(ReadInt("Window height", 0), 768);
  // The show step asks for a delay of 60, which the meter holds at its limit 50; no pass ran.
  EXPECT_EQ(ReadInt("Level Delay1", 0), 50);
  DestroyWindowSet();
}

TEST(Persistence, ASecondStartRestoresWhatTheFirstLeft) {
  test::ProgramTestEnv env;
  // First run: the user sets everything up, then quits.
  CreateWindowSet();
  fMain->show();
  fMain->Timer1Timer();
  fmulti->rg_mode->SetItemIndex(3);
  fMain->move(40, 30);
  WriteString("Edit 3", "Git");          // as the label editor's "Okay" stores it
  fSetLevel->rg_Meter->SetItemIndex(0);  // Nordic N9
  fSetLevel->ol_top->SetValue(90);
  fSetLevel->ol_button->SetValue(50);
  fSetLevel->btn_saveClick();
  fSetLevel->rg_integral->SetItemIndex(5);
  fSetLevel->rg_referenz->SetItemIndex(2);
  fSetLevel->rg_stereo->SetItemIndex(1);
  fSetLevel->sp_peaks->SetValue(2);
  fSetLevel->CheckBox2->setChecked(false);
  fSetLevel->MMLEDSpin5->SetValue(0);
  fSetLevel->MMColorButton2->SetValue(clAqua);
  fSetLevel->Button2Click();  // "Preview": meters 1-4 and 17-20 take the new middle colour
  fSetLevel->spin_sec->SetValue(12);
  fSetLevel->spin_db2->SetValue(-55);
  fSetLevel->sp_arlarm->SetValue(33);
  fSetLevel->chb_detect->setChecked(true);
  fSetLevel->MMAudioPlayer1->SetFileName("/srv/sounds/alarm.wav");
  const QPoint where = fMain->pos();
  fMain->close();
  DestroyWindowSet();

  // Second run.
  CreateWindowSet();
  fMain->show();
  fMain->Timer1Timer();
  EXPECT_EQ(fMain->pos(), where);
  EXPECT_EQ(fmulti->rg_mode->ItemIndex(), 3);
  EXPECT_EQ(fMain->ChannelCount, 16);
  EXPECT_EQ(fMain->width(), 920);
  EXPECT_EQ(fMain->Led(3)->Caption(), "Git");
  EXPECT_EQ(fSetLevel->rg_Meter->ItemIndex(), 0);
  EXPECT_EQ(fMain->Panel1->text(), "Nordic N9");
  EXPECT_EQ(fSetLevel->rg_integral->ItemIndex(), 5);
  EXPECT_EQ(fSetLevel->rg_referenz->ItemIndex(), 2);
  EXPECT_EQ(fSetLevel->rg_stereo->ItemIndex(), 1);
  EXPECT_EQ(fSetLevel->sp_peaks->Value(), 2);
  EXPECT_FALSE(fSetLevel->CheckBox2->isChecked());
  EXPECT_EQ(fSetLevel->MMLEDSpin5->Value(), 0);
  EXPECT_EQ(fSetLevel->spin_sec->Value(), 12);
  EXPECT_EQ(fSetLevel->spin_db2->Value(), -55);
  EXPECT_EQ(fSetLevel->sp_arlarm->Value(), 33);
  EXPECT_TRUE(fSetLevel->chb_detect->isChecked());
  EXPECT_TRUE(fMain->TimerOff->isActive());  // the pass switched the silence check on
  EXPECT_EQ(fSetLevel->MMAudioPlayer1->FileName(), "/srv/sounds/alarm.wav");
  EXPECT_EQ(fSetLevel->lab_file->text(), "alarm.wav");
  for (int n = 1; n <= 24; ++n) {
    SCOPED_TRACE(n);
    const TMMLevel* level = fMain->Level(n);
    EXPECT_EQ(level->MeterStandard, 0);
    EXPECT_EQ(level->Sensitivy(), -49);
    EXPECT_EQ(level->Point2(), 90);
    EXPECT_EQ(level->Point1(), 50);
    EXPECT_TRUE(level->Integrate);
    EXPECT_EQ(level->IntegrationLength, 299);
    EXPECT_TRUE(level->Reference20);
    EXPECT_EQ(level->NumPeaks(), 2);
    EXPECT_FALSE(level->LeaveMaxPeak);
    EXPECT_EQ(level->SpotSpace(), 0);
    const bool group1 = n <= 4 || (n >= 17 && n <= 20);
    EXPECT_EQ(level->Bar2Color(), group1 ? clAqua : clYellow);
  }
  DestroyWindowSet();
}

TEST(Persistence, StayOnTopRunsTheWholeShowStepAgain) {
  test::ProgramTestEnv env;
  CreateWindowSet();
  fMain->show();
  fMain->LogActive = false;
  WriteString("Edit 5", "Vox");
  fSetLevel->cb_top->click();
  EXPECT_TRUE(fMain->isVisible());
  EXPECT_TRUE(fMain->LogActive);
  EXPECT_EQ(fMain->Led(5)->Caption(), "Vox");
  for (int n = 1; n <= 24; ++n)
    EXPECT_EQ(fMain->Level(n)->PeakDelay(), 50) << n;  // 60, held at the limit
  DestroyWindowSet();
}

}  // namespace
}  // namespace ostrel
