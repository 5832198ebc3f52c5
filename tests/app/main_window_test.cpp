// The main meter window: strips and their components, composed-name lookups, channel-count
// modes and menu items, resize, keys, Help items and the LED labels' double-click.
#include "ProgramTestEnv.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "audio/uMultimode.h"
#include "ballistics/uSet_Level.h"
#include "labels_skins/uLabels.h"
#include "metering/MMLevel.h"
#include "metering/MMLevelScale.h"
#include "platform/ImageControl.h"
#include "platform/MMLEDLabel.h"
#include "platform/MMLEDSpin.h"
#include "platform/RadioGroup.h"
#include "platform/Shell.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

namespace ostrel {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateWindowSet(); }
  void TearDown() override {
    SetShellOpenHandler({});
    DestroyWindowSet();
  }
  test::ProgramTestEnv env_;
};

TEST_F(MainWindowTest, ComposedNamesFindEveryChannelComponentWithoutRegardToCase) {
  for (int n = 1; n <= 24; ++n) {
    SCOPED_TRACE(n);
    const QString num = QString::number(n);
    auto* level = qobject_cast<TMMLevel*>(fMain->FindComponent("Level" + num));
    auto* led = qobject_cast<TMMLEDLABEL*>(fMain->FindComponent("Led" + num));
    auto* picture = qobject_cast<TImageControl*>(fMain->FindComponent("ima_Nordic" + num));
    auto* scale = qobject_cast<TMMLevelScale*>(fMain->FindComponent("MMLevelScale" + num));
    auto* timer = qobject_cast<QTimer*>(fMain->FindComponent("timer_start" + num));
    ASSERT_TRUE(level && led && picture && scale && timer);
    // The components carry their own spelling; the lookup ignores it.
    EXPECT_EQ(led->objectName(), (n <= 8 ? "LED" : "led") + num);
    EXPECT_EQ(picture->objectName(), "ima_nordic" + num);
    EXPECT_EQ(timer->objectName(), "Timer_start" + num);
    EXPECT_EQ(fMain->FindComponent("LEVEL" + num), level);
    // All five lie in strip n.
    for (QWidget* w : {static_cast<QWidget*>(level), static_cast<QWidget*>(led),
                       static_cast<QWidget*>(picture), static_cast<QWidget*>(scale)}) {
      EXPECT_EQ(w->parentWidget()->x(), 57 * (n - 1));
      EXPECT_EQ(w->parentWidget()->property("Tag").toInt(), 99);
    }
    EXPECT_EQ(level->Channel(), n % 2 ? chLeft : chRight);
    EXPECT_EQ(level->Mode(), mStereo);
    EXPECT_EQ(level->BitLength(), b16Bit);
    EXPECT_EQ(level->Kind(), lkVertical);
    EXPECT_EQ(level->DecayMode(), dmStepUp);
    EXPECT_EQ(level->Point1(), n == 1 ? 58 : 56);
    EXPECT_EQ(led->Caption(), num);
  }
  EXPECT_EQ(fMain->FindComponent("Level25"), nullptr);
}

TEST_F(MainWindowTest, StripGeometryLeavesMetersPicturesAndScales649High) {
  fMain->FormResize();
  for (int n = 1; n <= 24; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(fMain->Level(n)->parentWidget()->size(), QSize(57, 688));
    EXPECT_EQ(fMain->Led(n)->height(), 26);
    EXPECT_EQ(fMain->Level(n)->height(), 649);
    EXPECT_EQ(fMain->Level(n)->width(), 18);
    EXPECT_EQ(fMain->ImaNordic(n)->height(), 649);
    EXPECT_EQ(fMain->ImaNordic(n)->width(), 37);
    EXPECT_EQ(fMain->LevelScale(n)->height(), 649);
    EXPECT_TRUE(fMain->LevelScale(n)->isHidden());
    EXPECT_FALSE(fMain->ImaNordic(n)->isHidden());
  }
}

TEST_F(MainWindowTest, ModeListSizesTheWindowMarksTheMenuAndSetsChannelCount) {
  struct Mode {
    int index, width, channels;
    QAction* TfMain::*item;
  };
  const Mode modes[] = {{0, 124, 2, &TfMain::N2Channels1},
                        {1, 236, 4, &TfMain::N4Channels1},
                        {2, 463, 8, &TfMain::N8Channels1},
                        {3, 920, 16, &TfMain::N16Channels1},
                        {4, 1376, 24, &TfMain::N24Channels1}};
  fmulti->rg_mode->SetItemIndex(-1);
  for (const Mode& m : modes) {
    SCOPED_TRACE(m.index);
    fmulti->rg_mode->SetItemIndex(m.index);
    EXPECT_EQ(fMain->width(), m.width);
    EXPECT_EQ(fMain->maximumWidth(), m.width);
    EXPECT_EQ(fMain->ChannelCount, m.channels);
    for (const Mode& other : modes)
      EXPECT_EQ((fMain->*other.item)->isChecked(), other.index == m.index);
  }
}

TEST_F(MainWindowTest, EightChannelItemOnlyLimitsTheWidth) {
  fmulti->rg_mode->SetItemIndex(1);  // 236 wide, 4 channels
  fMain->Timer1->stop();
  fMain->N8Channels1->trigger();
  EXPECT_EQ(fMain->width(), 236);  // a narrower window keeps its width
  EXPECT_EQ(fMain->maximumWidth(), 463);
  EXPECT_EQ(fMain->ChannelCount, 4);  // the mode is untouched
  EXPECT_EQ(fmulti->rg_mode->ItemIndex(), 1);
  EXPECT_TRUE(fMain->N8Channels1->isChecked());  // its own mark toggles
  EXPECT_TRUE(fMain->Timer1->isActive());        // the start-up pass runs again

  fMain->N24Channels1->trigger();
  EXPECT_EQ(fMain->width(), 1384);
  EXPECT_FALSE(fMain->N8Channels1->isChecked());
  fMain->N8Channels1->trigger();
  EXPECT_EQ(fMain->width(), 463);  // a wider window shrinks

  fMain->N16Channels1->trigger();
  EXPECT_EQ(fMain->width(), 920);
  EXPECT_FALSE(fMain->N8Channels1->isChecked());
  EXPECT_FALSE(fMain->N24Channels1->isChecked());
  EXPECT_EQ(fMain->ChannelCount, 4);
}

TEST_F(MainWindowTest, TwoAndFourChannelItemsGoThroughTheModeList) {
  fmulti->rg_mode->SetItemIndex(2);
  fMain->N2Channels1->trigger();
  EXPECT_EQ(fmulti->rg_mode->ItemIndex(), 0);
  EXPECT_EQ(fMain->width(), 124);
  EXPECT_TRUE(fMain->N2Channels1->isChecked());
  // Choosing it again changes nothing, and its mark does not toggle off.
  fMain->N2Channels1->trigger();
  EXPECT_TRUE(fMain->N2Channels1->isChecked());
  fMain->N4Channels1->trigger();
  EXPECT_EQ(fMain->ChannelCount, 4);
  EXPECT_TRUE(fMain->N4Channels1->isChecked());
  EXPECT_FALSE(fMain->N2Channels1->isChecked());
}

TEST_F(MainWindowTest, KeysSelectStandardsAndModesAndAlwaysRestartPeakHolds) {
  struct KeyCase {
    int key;
    Qt::KeyboardModifiers mods;
    int meterIndex;  // expected rg_Meter index afterwards
    int modeIndex;   // expected rg_mode index afterwards
  };
  fSetLevel->rg_Meter->SetItemIndex(1);
  fmulti->rg_mode->SetItemIndex(2);
  const KeyCase cases[] = {
      {Qt::Key_7, Qt::KeypadModifier, 4, 2},  // past the list's end: "Digital PPM"
      {Qt::Key_1, Qt::KeypadModifier, 0, 2}, {Qt::Key_9, Qt::KeypadModifier, 4, 2},
      {Qt::Key_3, Qt::NoModifier, 4, 2},  // the main keyboard's digit is not the numpad's
      {Qt::Key_F10, Qt::NoModifier, 4, 4},   {Qt::Key_F6, Qt::NoModifier, 4, 0},
      {Qt::Key_A, Qt::NoModifier, 4, 0},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.key);
    fSetLevel->sp_peaks->SetValue(3);
    // A held marker: spot 12 with a long countdown.
    TMMLevel* level = fMain->Level(5);
    level->SetNumPeaks(3);
    level->ApplyLevel(20000);
    ASSERT_GT(level->PeakSpot(), 0);
    ASSERT_GT(level->PeakCountdown(), 1);

    QKeyEvent press(QEvent::KeyPress, c.key, c.mods);
    QApplication::sendEvent(fMain, &press);
    EXPECT_EQ(fSetLevel->rg_Meter->ItemIndex(), c.meterIndex);
    EXPECT_EQ(fmulti->rg_mode->ItemIndex(), c.modeIndex);
    EXPECT_EQ(level->NumPeaks(), 3);
    EXPECT_EQ(level->PeakCountdown(), 0);  // the next tick steps the marker down
  }
  EXPECT_EQ(fMain->width(), 124);
  EXPECT_EQ(fMain->ChannelCount, 2);
}

TEST_F(MainWindowTest, HelpItemsAskTheDesktopToOpenManualAndHomepage) {
  std::vector<QUrl> opened;
  SetShellOpenHandler([&](const QUrl& url) { opened.push_back(url); });
  fMain->HelpFile1->trigger();
  fMain->Quandrelhomepage1->trigger();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0],
            QUrl::fromLocalFile(QDir::current().absoluteFilePath("24 Channel Multi Ostrel.pdf")));
  EXPECT_EQ(opened[1].scheme(), "https");
}

TEST_F(MainWindowTest, MenuCaptionsAreTheProgramsOwn) {
  EXPECT_EQ(fMain->Exit1->text(), "Exit && Save");
  const QList<QAction*> top = fMain->MainMenu1->actions();
  ASSERT_EQ(top.size(), 2);
  EXPECT_EQ(top[0]->text(), "Settings");
  EXPECT_EQ(top[1]->text(), "Help");
  QStringList settings;
  for (QAction* a : top[0]->menu()->actions()) settings << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(settings,
            QStringList({"Input mode", "Level outfit", "Select audio input", "Level labels",
                         "Program Skin", "Show Logfile", "-", "Exit && Save"}));
  QStringList help;
  for (QAction* a : top[1]->menu()->actions()) help << a->text();
  EXPECT_EQ(help, QStringList({"Help File", "Quandrel homepage", "Info"}));
}

TEST_F(MainWindowTest, DoubleClickOnAnyLedLabelOpensTheLabelEditorModally) {
  fMain->show();
  bool wasModal = false;
  QTimer::singleShot(0, fLabels, [&] {
    wasModal = fLabels->isVisible() && fLabels->isModal();
    fLabels->reject();
  });
  TMMLEDLABEL* led = fMain->Led(17);
  const QPointF at(5, 5);
  QMouseEvent dbl(QEvent::MouseButtonDblClick, at, led->mapToGlobal(at), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(led, &dbl);
  EXPECT_TRUE(wasModal);
  EXPECT_FALSE(fLabels->isVisible());
}

}  // namespace
}  // namespace ostrel
