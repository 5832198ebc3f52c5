// The input setup window with simulated capture devices: its lists, the stored device
// numbers, the mode and rate it applies, and the main window's "Select audio input".
#include "ProgramTestEnv.h"
#include "app/Settings.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "audio/MMWavIn.h"
#include "audio/uMultimode.h"
#include "platform/RadioGroup.h"
#include "platform/SimulatedWaveIn.h"
#include "platform/SqlProbe.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace ostrel {
namespace {

class InputSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"Studio In 1-2", "Studio In 3-4", "USB Mic"}) {
      SimulatedWaveIn::Device device;
      device.name = name;
      sim_->AddDevice(device);
    }
    sim_->SetDefaultDevice(0);
    CreateWindowSet();
  }
  void TearDown() override { DestroyWindowSet(); }
  // Shows the window modally and runs `whileOpen` inside its loop.
  void RunModal(std::function<void()> whileOpen) {
    WhenShown(std::move(whileOpen));
    fmulti->exec();
  }
  // Runs `action` once the setup window is on screen. Closing the inputs pumps messages
  // before the window opens, so a plain zero timer could fire too early.
  static void WhenShown(std::function<void()> action) {
    auto* poll = new QTimer(fmulti);
    QObject::connect(poll, &QTimer::timeout, fmulti, [poll, action] {
      if (!fmulti->isVisible()) return;
      poll->deleteLater();
      poll->stop();
      action();
    });
    poll->start(0);
  }

  test::ProgramTestEnv env_{false};
  std::shared_ptr<SimulatedWaveIn> sim_ = env_.sim;
};

QStringList Entries(QComboBox* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->itemText(i);
  return out;
}

TEST_F(InputSetupTest, ListsHoldTheDefaultThenEveryDeviceAndShowingAgainDoesNotGrowThem) {
  for (int round = 0; round < 2; ++round) {
    fmulti->show();
    for (int k = 1; k <= 12; ++k) {
      SCOPED_TRACE(k);
      EXPECT_EQ(Entries(fmulti->cb[k]),
                QStringList({"Studio In 1-2", "Studio In 1-2", "Studio In 3-4", "USB Mic"}));
      // Nothing stored yet: entry 1, the first real device.
      EXPECT_EQ(fmulti->cb[k]->currentIndex(), 1);
    }
    fmulti->hide();
  }
}

TEST_F(InputSetupTest, StoredNumbersSelectTheirEntriesAndNumbersPastTheListSelectNothing) {
  WriteInt("multi_1", -1);  // system default
  WriteInt("multi_2", 2);
  WriteInt("multi_3", 7);   // gone since
  WriteInt("multi_4", -2);  // never chosen
  fmulti->show();
  EXPECT_EQ(fmulti->cb[1]->currentIndex(), 0);
  EXPECT_EQ(fmulti->cb[2]->currentIndex(), 3);
  EXPECT_EQ(fmulti->cb[3]->currentIndex(), -1);
  EXPECT_EQ(fmulti->cb[4]->currentIndex(), -1);
}

TEST_F(InputSetupTest, OkStoresEntryMinusOneAndGivesTheInputsTheirDevices) {
  RunModal([] {
    fmulti->cb[1]->setCurrentIndex(0);   // default device
    fmulti->cb[2]->setCurrentIndex(3);   // device 2
    fmulti->cb[3]->setCurrentIndex(-1);  // no selection
    fmulti->rg_sample->SetItemIndex(1);
    fmulti->btnOk->click();
  });
  EXPECT_EQ(ReadInt("multi_1", 99), -1);
  EXPECT_EQ(ReadInt("multi_2", 99), 2);
  EXPECT_EQ(ReadInt("multi_3", 99), -2);
  EXPECT_EQ(ReadInt("multi_12", 99), 0);
  EXPECT_EQ(ReadInt("Samplerate", 99), 1);
  EXPECT_TRUE(ReadBool("is Sound", false));
  EXPECT_EQ(fMain->MMWaveIn[1]->DeviceID(), -1);
  EXPECT_EQ(fMain->MMWaveIn[2]->DeviceID(), 2);
  EXPECT_EQ(fMain->MMWaveIn[3]->DeviceID(), InvalidId);
  for (int k = 1; k <= 12; ++k) EXPECT_EQ(fMain->MMWaveIn[k]->SampleRate(), 48000);
}

TEST_F(InputSetupTest, CancelStoresNothingButKeepsTheModeChosen) {
  RunModal([] {
    fmulti->rg_mode->SetItemIndex(0);
    fmulti->cb[1]->setCurrentIndex(2);
    fmulti->btnCancel->click();
  });
  EXPECT_EQ(ReadInt("multi_1", 99), 99);
  EXPECT_FALSE(ReadBool("is Sound", false));
  EXPECT_EQ(fMain->width(), 124);
  EXPECT_EQ(fMain->ChannelCount, 2);
}

TEST_F(InputSetupTest, ModeEnablesTheListsOfThePairsItUses) {
  const int used[5] = {1, 2, 4, 8, 12};
  for (int mode : {0, 3, 4, 1, 2}) {
    SCOPED_TRACE(mode);
    fmulti->rg_mode->SetItemIndex(mode);
    for (int k = 1; k <= 12; ++k) EXPECT_EQ(fmulti->cb[k]->isEnabled(), k <= used[mode]) << k;
    EXPECT_EQ(fMain->width(), Tfmulti::kModeWidths[mode]);
  }
  fmulti->rg_mode->SetItemIndex(3);
  EXPECT_TRUE(fMain->N16Channels1->isChecked());
}

TEST_F(InputSetupTest, SelectAudioInputClosesAllAndStartsThoseOfTheModeSkippingFailures) {
  fmulti->rg_mode->SetItemIndex(1);  // inputs 1 and 2
  for (int k = 1; k <= 12; ++k) fMain->MMWaveIn[k]->SetDeviceID(k == 1 ? 0 : 2);
  sim_->DeviceAt(0).openError = 2;  // input 1's device is busy
  WhenShown([] { fmulti->btnCancel->click(); });
  fMain->Input1Click();
  EXPECT_EQ(fMain->MMWaveIn[1]->State(), wiClosed);  // failed, skipped without a message
  EXPECT_NE(fMain->MMWaveIn[2]->State(), wiClosed);  // still started after the failure
  EXPECT_EQ(fMain->MMWaveIn[3]->State(), wiClosed);  // not used by the mode

  // Opening the window again closes the running input first.
  WhenShown([] {
    EXPECT_EQ(fMain->MMWaveIn[2]->State(), wiClosed);
    fmulti->btnCancel->click();
  });
  fMain->Input1Click();
}

}  // namespace
}  // namespace ostrel
