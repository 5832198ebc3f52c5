// The level settings window itself: its controls and their design values, showing and
// closing it, the preview strip, the colour buttons, "Save && Close" and "Stay on Top".
#include "app/Settings.h"
#include "metering/MMLevel.h"
#include "metering/MMLevelScale.h"
#include "platform/ImageControl.h"
#include "platform/MMColorButton.h"
#include "platform/MMLEDLabel.h"
#include "platform/MMLEDPanel.h"
#include "platform/MMLEDSpin.h"
#include "platform/MMNumberEdit.h"
#include "platform/MMSpinButton.h"
#include "platform/RadioGroup.h"
#include "setlevel_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace ostrel {
namespace {

class SetLevelWindow : public SetLevelFixture {
 protected:
  static void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }
};

TEST_F(SetLevelWindow, SpinsHaveTheirRangesAndDesignValues) {
  struct Case {
    const char* name;
    int min, max, value;
  };
  const Case cases[] = {
      {"ol_top", 1, 100, 84},      {"ol_button", 1, 100, 58}, {"sp_peaks", 0, 5, 3},
      {"MMLEDSpin5", 0, 2, 1},     {"MMLEDSpin4", 5, 16, 12}, {"spin_sec", 1, 32768, 5},
      {"sp_interval", 1, 999, 10}, {"sp_arlarm", 1, 999, 60},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* spin = fSetLevel->findChild<TMMLEDSpin*>(QString::fromLatin1(c.name));
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->MinValue(), c.min);
    EXPECT_EQ(spin->MaxValue(), c.max);
    EXPECT_EQ(spin->Value(), c.value);
  }
  EXPECT_EQ(fSetLevel->nEdit->MinValue(), -99);
  EXPECT_EQ(fSetLevel->nEdit->MaxValue(), -1);
  EXPECT_EQ(fSetLevel->nEdit->Value(), -40);
  EXPECT_EQ(fSetLevel->spin_db2->MinValue(), -99);
  EXPECT_EQ(fSetLevel->spin_db2->MaxValue(), -1);
  EXPECT_EQ(fSetLevel->spin_db2->Value(), -40);
  EXPECT_EQ(fSetLevel->spin_db->MinValue(), 0);
  EXPECT_EQ(fSetLevel->spin_db->MaxValue(), 32768);
  EXPECT_TRUE(fSetLevel->spin_db->isHidden());
  EXPECT_EQ(fSetLevel->led_db->MinValue(), -100);
  EXPECT_EQ(fSetLevel->led_db->MaxValue(), 32768);
  EXPECT_TRUE(fSetLevel->led_db->isHidden());
}

TEST_F(SetLevelWindow, ListsBoxesButtonsAndTimersCarryTheirCaptionsAndDesignStates) {
  struct Group {
    TRadioGroup* group;
    const char* caption;
    QStringList items;
    int columns, index;
  };
  const Group groups[] = {
      {fSetLevel->rg_Meter,
       " Meter ballistics ",
       {"Nordic N9", "DIN 45406", "BBC Scale", "EBU Scale", "Digital PPM"},
       3,
       1},
      {fSetLevel->rg_integral,
       " Integration time ",
       {"none", "5 ms ", "10 ms", "15 ms", "20 ms", "300 ms"},
       6,
       0},
      {fSetLevel->rg_referenz,
       " Referenz Level ",
       {"0 dBFS", "- 18 dBFS", "-20 dBFS", "-24 dBFS"},
       4,
       0},
      {fSetLevel->rg_stereo, " Lelvel Display ", {"Mono  Mode", "Stereo Mode"}, 1, 0},
  };
  for (const Group& g : groups) {
    SCOPED_TRACE(g.caption);
    EXPECT_EQ(g.group->title(), QString::fromLatin1(g.caption));
    EXPECT_EQ(g.group->Items(), g.items);
    EXPECT_EQ(g.group->Columns(), g.columns);
    EXPECT_EQ(g.group->ItemIndex(), g.index);
  }
  struct Box {
    QCheckBox* box;
    const char* text;
    bool checked;
  };
  const Box boxes[] = {{fSetLevel->CheckBox2, "Leave max Peak", true},
                       {fSetLevel->cb_top, "Stay on Top", true},
                       {fSetLevel->cb_arlarm, "Play Sound File", false},
                       {fSetLevel->chb_detect, "", false}};
  for (const Box& b : boxes) {
    EXPECT_EQ(b.box->text(), QString::fromLatin1(b.text));
    EXPECT_EQ(b.box->isChecked(), b.checked) << b.text;
  }
  EXPECT_EQ(fSetLevel->Button2->text(), "Preview");
  EXPECT_EQ(fSetLevel->btn_save->text(), "Save");
  EXPECT_EQ(fSetLevel->Button1->text(), "Save && Close");  // shows as "Save & Close"
  EXPECT_EQ(fSetLevel->btn_load->text(), "Load Audio File");
  EXPECT_EQ(fSetLevel->lab_file->text(), "c:\\");
  EXPECT_EQ(fSetLevel->lab_top->text(), "Meter stay on top");
  EXPECT_EQ(fSetLevel->lab_detect->text(), "Silence Detector");
  for (QLabel* red : {fSetLevel->lab_top, fSetLevel->lab_detect})
    EXPECT_EQ(red->palette().color(QPalette::WindowText), QColor(Qt::red));
  // Texts shown beside their controls, exactly as written.
  QStringList texts;
  for (QLabel* l : fSetLevel->findChildren<QLabel*>()) texts << l->text();
  for (const char* t :
       {"OL Level Top", "OL Level Button", "Nr of Peak  && Spot Space", "Decay ( speed )",
        "Color of Lebels", "Levels 1-4", "Levels 5-8", "Levels 9-12", "Levels 13-16",
        "Bar Color Top", "Bar Color Middle", "Bar Color Button", "Silence Detector dBFS",
        "Silence in x sec", "Interval in x sec", "Repet in x sec"})
    EXPECT_TRUE(texts.contains(QString::fromLatin1(t))) << t;

  EXPECT_EQ(fSetLevel->Timer1->interval(), 1000);
  EXPECT_TRUE(fSetLevel->Timer1->isSingleShot());
  EXPECT_FALSE(fSetLevel->Timer1->isActive());
  EXPECT_EQ(fSetLevel->t_reset->interval(), 10000);
  EXPECT_FALSE(fSetLevel->t_reset->isActive());
}

TEST_F(SetLevelWindow, ColourButtonsStartAsRedYellowLimeAndCreamLabels) {
  const std::pair<TMMColorButton*, TColor> cases[] = {
      {fSetLevel->MMColorButton1, clRed},    {fSetLevel->MMColorButton2, clYellow},
      {fSetLevel->MMColorButton3, clLime},   {fSetLevel->MMColorButton4, clCream},
      {fSetLevel->MMColorButton5, clLime},   {fSetLevel->MMColorButton6, clYellow},
      {fSetLevel->MMColorButton7, clRed},    {fSetLevel->MMColorButton8, clLime},
      {fSetLevel->MMColorButton9, clYellow}, {fSetLevel->MMColorButton10, clRed},
      {fSetLevel->MMColorButton11, clLime},  {fSetLevel->MMColorButton12, clYellow},
      {fSetLevel->MMColorButton13, clRed},
  };
  for (const auto& [button, colour] : cases)
    EXPECT_EQ(button->Value(), colour) << button->objectName().toStdString();
}

TEST_F(SetLevelWindow, PreviewStripHoldsMeterLabelPictureAndHiddenScale) {
  EXPECT_EQ(fSetLevel->Panel3->size(), QSize(57, 453));
  EXPECT_EQ(fSetLevel->Panel3->x(), fSetLevel->Panel3->y());  // at the left edge, in the margin
  EXPECT_LT(fSetLevel->Panel3->x(), 10);
  EXPECT_EQ(fSetLevel->Panel3->palette().color(QPalette::Window), QColor(Qt::black));

  TMMLevel* level = fSetLevel->Level8;
  EXPECT_EQ(level->parentWidget(), fSetLevel->Panel3);
  EXPECT_EQ(level->size(), QSize(18, 417));
  EXPECT_EQ(level->Kind(), lkVertical);
  EXPECT_EQ(level->Bar1Color(), clLime);
  EXPECT_EQ(level->Bar2Color(), clYellow);
  EXPECT_EQ(level->Inactive1Color(), clBlack);
  EXPECT_EQ(level->Inactive2Color(), clBlack);
  EXPECT_EQ(level->Inactive3Color(), clBlack);
  EXPECT_EQ(level->Point1(), 56);
  EXPECT_EQ(level->Point2(), 73);
  EXPECT_EQ(level->Sensitivy(), -52);
  EXPECT_EQ(level->DecayMode(), dmStepUp);
  EXPECT_EQ(level->Decay(), 7);
  EXPECT_EQ(level->SpotSpace(), 0);
  EXPECT_EQ(level->BitLength(), b16Bit);
  EXPECT_EQ(level->Channel(), chLeft);
  EXPECT_EQ(level->Mode(), mStereo);

  TMMLEDLABEL* led = fSetLevel->LED8;
  EXPECT_EQ(led->Caption(), "Git");
  EXPECT_EQ(led->LEDColor(), clCream);
  EXPECT_EQ(led->InactiveColor(), clBlack);
  EXPECT_EQ(led->geometry().bottom(), 452);  // docked at the bottom, full width
  EXPECT_EQ(led->width(), 57);

  TImageControl* picture = fSetLevel->ima_nordic1;
  EXPECT_EQ(picture->size(), QSize(36, 425));
  EXPECT_EQ(picture->geometry().right(), 56);  // docked right, above the label
  EXPECT_EQ(picture->y(), 0);

  TMMLevelScale* scale = fSetLevel->Scale_outfit;
  EXPECT_TRUE(scale->isHidden());
  EXPECT_EQ(scale->size(), QSize(35, 418));
  EXPECT_EQ(scale->ScaleTicks(), 26);
  EXPECT_EQ(scale->Point1(), 91);
  EXPECT_EQ(scale->Point2(), 92);
  EXPECT_EQ(scale->Sensitivy(), -42);
  EXPECT_EQ(scale->Scale1Color(), clSilver);
  EXPECT_EQ(scale->Scale2Color(), clSilver);
  EXPECT_EQ(scale->Kind(), lkVertical);
  EXPECT_EQ(scale->Scale()->TickCount(), 10);
  EXPECT_EQ(scale->Scale()->Origin(), soInner);
}

TEST_F(SetLevelWindow, ControlsLieInsideTheWindowWithoutOverlapping) {
  fSetLevel->show();
  Settle();
  EXPECT_EQ(fSetLevel->size(), QSize(687, 626));
  const QRect client = fSetLevel->rect();
  // Every visible control inside the window, and no two controls of one parent overlapping.
  const QList<QWidget*> all = fSetLevel->findChildren<QWidget*>();
  for (QWidget* w : all) {
    if (!w->isVisible() || w->isWindow()) continue;
    const QRect r(w->mapTo(fSetLevel, QPoint(0, 0)), w->size());
    EXPECT_TRUE(client.contains(r))
        << w->objectName().toStdString() << " " << w->metaObject()->className();
  }
  for (QWidget* parent : all + QList<QWidget*>{fSetLevel}) {
    QList<QWidget*> kids;
    for (QWidget* k : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (k->isVisible() && !k->isWindow() && k != fSetLevel->Scale_outfit) kids << k;
    for (int i = 0; i < kids.size(); ++i)
      for (int j = i + 1; j < kids.size(); ++j) {
        // Preview strip: the label and picture dock around the meter, which they may not cover.
        EXPECT_FALSE(kids[i]->geometry().intersects(kids[j]->geometry()))
            << kids[i]->objectName().toStdString() << " / " << kids[j]->objectName().toStdString()
            << " in " << parent->objectName().toStdString();
      }
  }
  fSetLevel->hide();
}

TEST_F(SetLevelWindow, ShowingTakesTheStoredPositionOrKeepsTheCurrentOne) {
  // Nothing stored: the window stays where it is (its client area; the frame's own offset
  // is only known once it is on screen).
  fSetLevel->move(33, 44);
  const QPoint client = fSetLevel->geometry().topLeft();
  fSetLevel->show();
  EXPECT_EQ(fSetLevel->geometry().topLeft(), client);
  fSetLevel->hide();
  WriteInt("Window Left2", 140);
  WriteInt("window top2", 90);
  fSetLevel->show();
  EXPECT_EQ(fSetLevel->pos(), QPoint(140, 90));
  fSetLevel->hide();
}

TEST_F(SetLevelWindow, PositionSurvivesClosingAndANewWindowSet) {
  fSetLevel->show();
  fSetLevel->move(210, 120);
  fSetLevel->close();
  EXPECT_FALSE(fSetLevel->isVisible());
  EXPECT_EQ(ReadInt("Window Left2", -1), 210);
  EXPECT_EQ(ReadInt("Window Top2", -1), 120);

  // Reopened: where it was.
  fSetLevel->move(0, 0);
  fSetLevel->show();
  EXPECT_EQ(fSetLevel->pos(), QPoint(210, 120));
  // Escape closes it as the title bar would, keeping the new place.
  fSetLevel->move(250, 160);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(fSetLevel, &escape);
  EXPECT_FALSE(fSetLevel->isVisible());

  // A new program run: new window objects on the same store.
  DestroyWindowSet();
  CreateWindowSet();
  fSetLevel->show();
  EXPECT_EQ(fSetLevel->pos(), QPoint(250, 160));
  fSetLevel->hide();
}

struct MeterValues {
  int decay, peaks, point1, point2;
};

void SetUpMainMeters(const MeterValues& first) {
  // Every meter different, so it shows where each value came from.
  for (int n = 1; n <= 24; ++n) {
    TMMLevel* level = fMain->Level(n);
    level->SetDecay(n == 1 ? first.decay : 14);
    level->SetNumPeaks(n == 1 ? first.peaks : 1);
    level->SetPoint1(n == 1 ? first.point1 : 10);
    level->SetPoint2(n == 1 ? first.point2 : 90);
    level->SetBar1Color(TColor(0x000100 * n + 1));
    level->SetBar2Color(TColor(0x000100 * n + 2));
    level->SetBar3Color(TColor(0x000100 * n + 3));
    fMain->Led(n)->SetLEDColor(TColor(0x010000 * n));
  }
}

TEST_F(SetLevelWindow, ShowingLoadsTheControlsAndSpreadsLevel1WhenAPointChanged) {
  SetUpMainMeters({9, 2, 40, 80});
  fSetLevel->show();

  EXPECT_EQ(fSetLevel->MMLEDSpin4->Value(), 9);
  EXPECT_EQ(fSetLevel->sp_peaks->Value(), 2);
  EXPECT_EQ(fSetLevel->ol_button->Value(), 40);
  EXPECT_EQ(fSetLevel->ol_top->Value(), 80);
  EXPECT_EQ(fSetLevel->MMColorButton4->Value(), TColor(0x010000));
  // Columns from their representative meters 1, 6, 11 and 16, bottom to top.
  struct Column {
    int channel;
    TMMColorButton* bottom;
    TMMColorButton* middle;
    TMMColorButton* top;
  };
  const Column columns[] = {
      {1, fSetLevel->MMColorButton3, fSetLevel->MMColorButton2, fSetLevel->MMColorButton1},
      {6, fSetLevel->MMColorButton5, fSetLevel->MMColorButton6, fSetLevel->MMColorButton7},
      {11, fSetLevel->MMColorButton8, fSetLevel->MMColorButton9, fSetLevel->MMColorButton10},
      {16, fSetLevel->MMColorButton11, fSetLevel->MMColorButton12, fSetLevel->MMColorButton13},
  };
  for (const Column& c : columns) {
    EXPECT_EQ(c.bottom->Value(), TColor(0x000100 * c.channel + 1));
    EXPECT_EQ(c.middle->Value(), TColor(0x000100 * c.channel + 2));
    EXPECT_EQ(c.top->Value(), TColor(0x000100 * c.channel + 3));
  }
  // The points changed, so the full preview ran: every meter takes Level1's values, its
  // column's colours and LED1's label colour.
  const int representative[] = {0,  1,  1,  1,  1, 6, 6, 6, 6, 11, 11, 11, 11,
                                16, 16, 16, 16, 1, 1, 1, 1, 6, 6,  6,  6};
  for (int n = 1; n <= 24; ++n) {
    SCOPED_TRACE(n);
    TMMLevel* level = fMain->Level(n);
    EXPECT_EQ(level->Decay(), 9);
    EXPECT_EQ(level->NumPeaks(), 2);
    EXPECT_EQ(level->Point1(), 40);
    EXPECT_EQ(level->Point2(), 80);
    EXPECT_EQ(level->Bar1Color(), TColor(0x000100 * representative[n] + 1));
    EXPECT_EQ(level->Bar2Color(), TColor(0x000100 * representative[n] + 2));
    EXPECT_EQ(level->Bar3Color(), TColor(0x000100 * representative[n] + 3));
    EXPECT_EQ(fMain->Led(n)->LEDColor(), TColor(0x010000));
  }
  // The preview shows column "Levels 1-4" and the label colour, at full scale.
  TMMLevel* preview = fSetLevel->Level8;
  EXPECT_EQ(preview->Bar1Color(), TColor(0x000101));
  EXPECT_EQ(preview->Bar2Color(), TColor(0x000102));
  EXPECT_EQ(preview->Bar3Color(), TColor(0x000103));
  EXPECT_EQ(preview->Point1(), 40);
  EXPECT_EQ(preview->Point2(), 80);
  EXPECT_EQ(preview->LevelSpots(), preview->SpotCount());
  EXPECT_EQ(fSetLevel->LED8->LEDColor(), TColor(0x010000));
  EXPECT_TRUE(fSetLevel->Timer1->isActive());
  fSetLevel->hide();
}

TEST_F(SetLevelWindow, ShowingWithUnchangedPointsSpreadsOnlyDecayAndPeaks) {
  // The design points of the spins: no point changes, so no full preview runs.
  SetUpMainMeters({9, 2, 58, 84});
  fSetLevel->show();
  for (int n = 2; n <= 24; ++n) {
    SCOPED_TRACE(n);
    TMMLevel* level = fMain->Level(n);
    EXPECT_EQ(level->Decay(), 9);
    EXPECT_EQ(level->NumPeaks(), 2);
    EXPECT_EQ(level->Point1(), 10);
    EXPECT_EQ(level->Bar2Color(), TColor(0x000100 * n + 2));
    EXPECT_EQ(fMain->Led(n)->LEDColor(), TColor(0x010000 * n));
  }
  fSetLevel->hide();
}

TEST_F(SetLevelWindow, TimerAfterShowingBlackensTheReadoutsAndShowsTheDigitalPpmScale) {
  std::vector<TMMLEDSpin*> spins = {
      fSetLevel->ol_top,     fSetLevel->ol_button, fSetLevel->sp_interval, fSetLevel->sp_peaks,
      fSetLevel->MMLEDSpin4, fSetLevel->spin_sec,  fSetLevel->sp_arlarm,   fSetLevel->MMLEDSpin5};
  for (int meter : {1, 4}) {
    SCOPED_TRACE(meter);
    // As a skin would leave them.
    for (TMMLEDSpin* s : spins) s->SetColor(clSilver);
    fSetLevel->led_db->SetColor(clSilver);
    fSetLevel->rg_Meter->SetItemIndex(meter);
    fSetLevel->show();
    EXPECT_TRUE(fSetLevel->Scale_outfit->isHidden());
    ASSERT_TRUE(fSetLevel->Timer1->isActive());
    fSetLevel->Timer1Timer();
    EXPECT_FALSE(fSetLevel->Timer1->isActive());
    for (TMMLEDSpin* s : spins) EXPECT_EQ(s->Color(), TColor(0)) << s->objectName().toStdString();
    EXPECT_EQ(fSetLevel->led_db->Color(), TColor(0));
    EXPECT_EQ(fSetLevel->Scale_outfit->isHidden(), meter != 4);
    // The next application of the standard puts the picture back.
    fSetLevel->rg_MeterClick();
    EXPECT_TRUE(fSetLevel->Scale_outfit->isHidden());
    EXPECT_FALSE(fSetLevel->ima_nordic1->isHidden());
    fSetLevel->hide();
  }
}

TEST_F(SetLevelWindow, ColourButtonsRefreshThePreviewFromTheFirstColumnOnly) {
  TMMLevel* preview = fSetLevel->Level8;
  auto bar = [preview](int zone) {
    return zone == 1   ? preview->Bar1Color()
           : zone == 2 ? preview->Bar2Color()
                       : preview->Bar3Color();
  };
  struct Case {
    TMMColorButton* button;
    int zone;                // the preview's bar colour it refreshes
    TMMColorButton* source;  // ... and from which button
  };
  TfSetLevel* w = fSetLevel;
  const Case cases[] = {
      {w->MMColorButton1, 3, w->MMColorButton1},  {w->MMColorButton5, 3, w->MMColorButton1},
      {w->MMColorButton8, 3, w->MMColorButton1},  {w->MMColorButton11, 3, w->MMColorButton1},
      {w->MMColorButton2, 2, w->MMColorButton2},  {w->MMColorButton6, 2, w->MMColorButton2},
      {w->MMColorButton9, 2, w->MMColorButton2},  {w->MMColorButton12, 2, w->MMColorButton2},
      {w->MMColorButton3, 1, w->MMColorButton3},  {w->MMColorButton7, 1, w->MMColorButton3},
      {w->MMColorButton10, 1, w->MMColorButton3}, {w->MMColorButton13, 1, w->MMColorButton3},
  };
  TColor next = 0x102030;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button->objectName().toStdString());
    // Make the preview differ from its source, then change the button.
    preview->SetBar1Color(clBlack);
    preview->SetBar2Color(clBlack);
    preview->SetBar3Color(clBlack);
    c.button->SetValue(next += 0x010101);
    EXPECT_EQ(bar(c.zone), c.source->Value());
  }
  fSetLevel->MMColorButton4->SetValue(clAqua);
  EXPECT_EQ(fSetLevel->LED8->LEDColor(), clAqua);
  // The main window's meters change only with "Preview".
  fSetLevel->MMColorButton6->SetValue(clFuchsia);
  EXPECT_NE(fMain->Level(5)->Bar2Color(), clFuchsia);
  fSetLevel->Button2Click();
  for (int n : {5, 6, 7, 8, 21, 22, 23, 24}) EXPECT_EQ(fMain->Level(n)->Bar2Color(), clFuchsia);
  for (int n : {1, 9, 13, 17}) EXPECT_NE(fMain->Level(n)->Bar2Color(), clFuchsia);
}

TEST_F(SetLevelWindow, SaveAndCloseAppliesThenStoresThePointsInEffectAndCloses) {
  fSetLevel->show();
  fSetLevel->rg_Meter->SetItemIndex(3);  // EBU
  fSetLevel->ol_top->SetValue(91);
  fSetLevel->ol_button->SetValue(47);
  fSetLevel->MMColorButton12->SetValue(clTeal);
  fSetLevel->Button1->click();
  EXPECT_FALSE(fSetLevel->isVisible());
  EXPECT_EQ(ReadInt("EBU", -1), 91);
  EXPECT_EQ(ReadInt("EBU2", -1), 47);
  for (int n = 13; n <= 16; ++n) EXPECT_EQ(fMain->Level(n)->Bar2Color(), clTeal);
  for (int n = 1; n <= 24; ++n) EXPECT_EQ(fMain->Level(n)->Point2(), 91);
  // Closing stored the position as well.
  EXPECT_EQ(ReadInt("Window Left2", -1), fSetLevel->x());
}

TEST_F(SetLevelWindow, StayOnTopSwitchesTheMainWindowsFlagAndShowsItAgain) {
  fMain->show();
  ASSERT_TRUE(fMain->windowFlags() & Qt::WindowStaysOnTopHint);
  for (bool onTop : {false, true, false}) {
    SCOPED_TRACE(onTop);
    fSetLevel->cb_top->setChecked(onTop);
    EXPECT_EQ(bool(fMain->windowFlags() & Qt::WindowStaysOnTopHint), onTop);
    EXPECT_TRUE(fMain->isVisible());
  }
  // Setting the box to the state it has runs nothing: the main window stays hidden.
  fMain->hide();
  fSetLevel->cb_top->setChecked(false);
  EXPECT_FALSE(fMain->isVisible());
  // A click runs it: shown again, back on top.
  fSetLevel->cb_top->click();
  EXPECT_TRUE(fMain->isVisible());
  EXPECT_TRUE(fMain->windowFlags() & Qt::WindowStaysOnTopHint);
}

}  // namespace
}  // namespace ostrel
