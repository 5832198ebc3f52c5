// The ballistics handlers of the level settings window: what each choice does to all 24
// meters of the main window, to their scale pictures and to the title panel.
#include "app/Settings.h"
#include "ballistics/ScaleImages.h"
#include "metering/MMLevel.h"
#include "metering/MMLevelScale.h"
#include "platform/ImageControl.h"
#include "platform/MMColorButton.h"
#include "platform/MMLEDLabel.h"
#include "platform/MMLEDSpin.h"
#include "platform/RadioGroup.h"
#include "setlevel_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <array>

namespace ostrel {
namespace {

using DrawFn = void (*)(QImage&, const QFont&);

// The picture a control should show after `draw` ran on it.
QImage Expected(TImageControl& control, DrawFn draw) {
  QImage image(control.Picture().size(), QImage::Format_RGB32);
  draw(image, control.Font());
  return image;
}

bool Shows(TImageControl& control, DrawFn draw) {
  return control.Picture() == Expected(control, draw);
}

struct StandardCase {
  int index;
  std::uint16_t meterStandard;
  int sensitivity;
  int top;     // Point2 with nothing stored
  int bottom;  // Point1 with nothing stored
  const char* caption;
  DrawFn draw;
};

const StandardCase kStandards[] = {
    {0, 0, -49, 84, 57, "Nordic N9", DrawNordicScale},
    {2, 2, -50, 84, 57, "BBC", DrawBbcScale},
    {3, 3, -49, 84, 57, "EBU", DrawEbuScale},
    {4, 1, -72, 84, 58, "Digital PPM", DrawDigitalScale},
    {1, 1, -72, 84, 58, "DIN 45406", DrawDinScale},
};

class BallisticsPresets : public SetLevelFixture {
 protected:
  static void ExpectStandardApplied(const StandardCase& c, int top, int bottom) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(fSetLevel->ol_top->Value(), top);
    EXPECT_EQ(fSetLevel->ol_button->Value(), bottom);
    for (int n = 1; n <= 24; ++n) {
      SCOPED_TRACE(n);
      TMMLevel* level = fMain->Level(n);
      EXPECT_EQ(level->MeterStandard, c.meterStandard);
      EXPECT_EQ(level->Sensitivy(), c.sensitivity);
      EXPECT_EQ(level->Point2(), top);
      EXPECT_EQ(level->Point1(), bottom);
      EXPECT_TRUE(Shows(*fMain->ImaNordic(n), c.draw));
    }
    EXPECT_TRUE(Shows(*fSetLevel->ima_nordic1, c.draw));
    EXPECT_EQ(fMain->Panel1->text(), QString::fromLatin1(c.caption));
    // The preview meter follows the points.
    EXPECT_EQ(fSetLevel->Level8->Point2(), top);
    EXPECT_EQ(fSetLevel->Level8->Point1(), bottom);
  }
};

TEST_F(BallisticsPresets, EachStandardSetsMetersPointsPicturesAndCaption) {
  fMain->FormResize();
  for (const StandardCase& c : kStandards) {
    fSetLevel->rg_Meter->SetItemIndex(c.index);
    ExpectStandardApplied(c, c.top, c.bottom);
    // Running it again changes nothing.
    fSetLevel->rg_MeterClick();
    ExpectStandardApplied(c, c.top, c.bottom);
  }
}

TEST_F(BallisticsPresets, StoredPointsAreReadWithoutRegardToCaseAndClamped) {
  struct Stored {
    int index;
    const char* topName;
    int top;
    const char* bottomName;
    int bottom;
    int appliedTop;
    int appliedBottom;
  };
  const Stored stored[] = {
      {0, "n9", 90, "N92", 40, 90, 40},
      {1, "Din", 88, "din2", 44, 88, 44},
      {2, "BBC", 77, "Bbc2", 33, 77, 33},
      {3, "ebu", 150, "EBU2", 0, 100, 1},  // outside the spins' range 1..100
      {4, "dppm", 95, "DPPM2", 30, 95, 30},
  };
  for (const Stored& s : stored) {
    WriteInt(QString::fromLatin1(s.topName), s.top);
    WriteInt(QString::fromLatin1(s.bottomName), s.bottom);
  }
  for (const Stored& s : stored) {
    SCOPED_TRACE(s.index);
    fSetLevel->rg_Meter->SetItemIndex(s.index);
    fSetLevel->rg_MeterClick();  // index 1 is selected at design time
    for (int n = 1; n <= 24; ++n) {
      EXPECT_EQ(fMain->Level(n)->Point2(), s.appliedTop);
      EXPECT_EQ(fMain->Level(n)->Point1(), s.appliedBottom);
    }
  }
}

TEST_F(BallisticsPresets, DigitalPpmAfterDinKeepsTheMeasuringButChangesPicturePointsCaption) {
  WriteInt("DIN", 80);
  WriteInt("DIN2", 50);
  fSetLevel->rg_MeterClick();  // DIN, selected at design time
  for (int n = 1; n <= 24; ++n) ASSERT_EQ(fMain->Level(n)->Point2(), 80);
  fSetLevel->rg_Meter->SetItemIndex(4);
  ExpectStandardApplied(kStandards[3], 84, 58);
  EXPECT_FALSE(Shows(*fMain->ImaNordic(1), DrawDinScale));
}

TEST_F(BallisticsPresets, IndexOutsideTheTableKeepsPointsButStillAppliesTheWindowValues) {
  fSetLevel->rg_MeterClick();
  fSetLevel->rg_Meter->SetItemIndex(-1);
  fSetLevel->ol_top->SetValue(95);  // not saved
  fSetLevel->ol_button->SetValue(20);
  for (int n = 1; n <= 24; ++n) fMain->Level(n)->SetPoint2(50);  // changed behind its back
  fSetLevel->Scale_outfit->show();
  fSetLevel->rg_MeterClick();
  EXPECT_TRUE(fSetLevel->Scale_outfit->isHidden());
  EXPECT_EQ(fSetLevel->ol_top->Value(), 95);
  for (int n = 1; n <= 24; ++n) {
    EXPECT_EQ(fMain->Level(n)->MeterStandard, 1);
    EXPECT_EQ(fMain->Level(n)->Point2(), 95);
    EXPECT_EQ(fMain->Level(n)->Point1(), 20);
  }
  EXPECT_EQ(fMain->Panel1->text(), "DIN 45406");
}

TEST_F(BallisticsPresets, LayoutSweepAfterBbcOrEbuResizesAndShowsThePictures) {
  fMain->FormResize();
  const int ledTop = fMain->Led(1)->y();
  // Disturb the strips the way the stereo layout and a resize leave them.
  auto disturb = [] {
    for (int n = 1; n <= 24; ++n) {
      TMMLevel* level = fMain->Level(n);
      level->SetBounds(level->x(), 30, level->width(), 200);
      TMMLevelScale* scale = fMain->LevelScale(n);
      scale->SetBounds(scale->x(), 40, scale->width(), 210);
      scale->show();
      TImageControl* picture = fMain->ImaNordic(n);
      picture->setGeometry(picture->x(), picture->y(), picture->width(), 220);
      if (n % 2 == 0) picture->hide();
    }
  };
  struct Step {
    int applyIndex;  // standard chosen now
    bool longSweep;  // decided by the standard applied before
  };
  const Step steps[] = {
      {0, false},  // Level1 still holds its design standard 0
      {2, false},  // after N9
      {1, true},   // after BBC
      {3, false},  // after DIN
      {4, true},   // after EBU
      {0, false},  // after Digital PPM, which runs the meters as DIN
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.applyIndex);
    disturb();
    fSetLevel->rg_Meter->SetItemIndex(s.applyIndex);
    for (int n = 1; n <= 24; ++n) {
      SCOPED_TRACE(n);
      TMMLevel* level = fMain->Level(n);
      TMMLevelScale* scale = fMain->LevelScale(n);
      TImageControl* picture = fMain->ImaNordic(n);
      EXPECT_EQ(level->y(), 11);
      if (s.longSweep) {
        EXPECT_EQ(level->height(), ledTop - 15);
        EXPECT_EQ(scale->y(), 12);
        EXPECT_EQ(scale->height(), ledTop - 15);
        EXPECT_EQ(picture->height(), ledTop - 15);
        EXPECT_TRUE(scale->isHidden());
        EXPECT_FALSE(picture->isHidden());
      } else {
        EXPECT_EQ(level->height(), 200);
        EXPECT_EQ(scale->y(), 40);
        EXPECT_EQ(scale->height(), 210);
        EXPECT_EQ(picture->height(), 220);
        EXPECT_FALSE(scale->isHidden());
        EXPECT_EQ(picture->isHidden(), n % 2 == 0);
      }
    }
  }
}

TEST_F(BallisticsPresets, IntegrationTimesCountReadingsAndNoneKeepsTheLength) {
  struct Step {
    int index;
    bool integrate;
    int length;
  };
  const Step steps[] = {
      {5, true, 299}, {0, false, 299}, {1, true, 5},   {4, true, 20},
      {2, true, 10},  {3, true, 15},   {0, false, 15}, {-1, true, 15},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.index);
    fSetLevel->rg_integral->SetItemIndex(s.index);
    for (int repeat = 0; repeat < 2; ++repeat) {
      for (int n = 1; n <= 24; ++n) {
        EXPECT_EQ(fMain->Level(n)->Integrate, s.integrate);
        EXPECT_EQ(fMain->Level(n)->IntegrationLength, s.length);
      }
      fSetLevel->rg_integralClick();
    }
  }
}

TEST_F(BallisticsPresets, ReferenceLevelSetsOneFlagAndReappliesTheStoredStandard) {
  WriteInt("DIN", 90);
  WriteInt("DIN2", 45);
  struct Step {
    int index;
    bool r18, r20, r24;
  };
  const Step steps[] = {
      {2, false, true, false},  {1, true, false, false}, {3, false, false, true},
      {0, false, false, false}, {3, false, false, true}, {-1, false, false, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.index);
    // Unsaved changes and a disabled group are undone by the standard's re-application.
    fSetLevel->ol_top->SetValue(70);
    fSetLevel->ol_button->SetValue(30);
    ASSERT_EQ(fMain->Level(9)->Point2(), 70);
    fSetLevel->rg_referenz->setEnabled(false);
    fMain->Panel1->clear();
    fSetLevel->rg_referenz->SetItemIndex(s.index);
    EXPECT_TRUE(fSetLevel->rg_referenz->isEnabled());
    EXPECT_EQ(fMain->Panel1->text(), "DIN 45406");
    for (int n = 1; n <= 24; ++n) {
      SCOPED_TRACE(n);
      TMMLevel* level = fMain->Level(n);
      EXPECT_EQ(level->Reference18, s.r18);
      EXPECT_EQ(level->Reference20, s.r20);
      EXPECT_EQ(level->Reference24, s.r24);
      EXPECT_EQ(level->Point2(), 90);
      EXPECT_EQ(level->Point1(), 45);
    }
  }
}

TEST_F(BallisticsPresets, StereoLayoutTouchesOnlyTheEvenChannels) {
  struct Step {
    int meterIndex;
    int stereoIndex;
    bool evenPictureShown;  // after the step, from the state before (see below)
    bool evenScaleShown;
  };
  // Before every step: odd channels picture shown and scale hidden, even channels both
  // hidden except where `evenPictureBefore` says.
  struct Case {
    Step step;
    bool evenPictureBefore;
  };
  const Case cases[] = {
      {{1, 0, true, true}, false},   // mono, DIN: both shown
      {{3, 0, true, true}, false},   // mono, EBU
      {{0, 1, false, false}, true},  // stereo: both hidden
      {{4, 0, false, true}, false},  // mono with Digital PPM: picture keeps being hidden
      {{4, 0, true, true}, true},    // ... or shown
      {{4, 1, false, false}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.step.meterIndex << "/" << c.step.stereoIndex);
    fSetLevel->rg_Meter->SetItemIndex(c.step.meterIndex);
    for (int n = 1; n <= 24; ++n) {
      fMain->LevelScale(n)->hide();
      fMain->ImaNordic(n)->setVisible(n % 2 == 1 || c.evenPictureBefore);
    }
    fSetLevel->rg_stereo->SetItemIndex(c.step.stereoIndex);
    fSetLevel->rg_stereoClick();
    for (int n = 1; n <= 24; ++n) {
      SCOPED_TRACE(n);
      const bool even = n % 2 == 0;
      EXPECT_EQ(!fMain->ImaNordic(n)->isHidden(), even ? c.step.evenPictureShown : true);
      EXPECT_EQ(!fMain->LevelScale(n)->isHidden(), even ? c.step.evenScaleShown : false);
    }
  }
  // No selection: nothing moves.
  fSetLevel->rg_stereo->SetItemIndex(-1);
  for (int n = 1; n <= 24; ++n) fMain->LevelScale(n)->setVisible(n % 3 == 0);
  fSetLevel->rg_stereoClick();
  for (int n = 1; n <= 24; ++n) EXPECT_EQ(!fMain->LevelScale(n)->isHidden(), n % 3 == 0);
}

TEST_F(BallisticsPresets, PeakDecaySpotAndLeaveMaxPeakControlsSetAllMeters) {
  using Read = int (*)(TMMLevel*);
  const Read numPeaks = [](TMMLevel* l) { return l->NumPeaks(); };
  const Read decay = [](TMMLevel* l) { return l->Decay(); };
  const Read spotSpace = [](TMMLevel* l) { return l->SpotSpace(); };
  struct Case {
    TMMLEDSpin* spin;
    Read read;
    int request;
    int applied;  // after the spin's clamping
  };
  const Case cases[] = {
      {fSetLevel->sp_peaks, numPeaks, 5, 5},    {fSetLevel->sp_peaks, numPeaks, 0, 0},
      {fSetLevel->sp_peaks, numPeaks, 9, 5},    {fSetLevel->MMLEDSpin4, decay, 16, 16},
      {fSetLevel->MMLEDSpin4, decay, 2, 5},     {fSetLevel->MMLEDSpin5, spotSpace, 2, 2},
      {fSetLevel->MMLEDSpin5, spotSpace, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.spin->objectName().toStdString() << " " << c.request);
    c.spin->SetValue(c.request);
    for (int n = 1; n <= 24; ++n) EXPECT_EQ(c.read(fMain->Level(n)), c.applied);
  }
  for (bool leave : {false, true, false}) {
    fSetLevel->CheckBox2->setChecked(leave);
    for (int n = 1; n <= 24; ++n) EXPECT_EQ(fMain->Level(n)->LeaveMaxPeak.load(), leave);
  }
}

TEST_F(BallisticsPresets, PreviewGivesEachGroupItsColumnAndChannels17To24RepeatGroupsOneTwo) {
  // Distinct colours per button, so every meter shows which button it took.
  auto colour = [](int button) { return TColor(0x010203 * button); };
  TMMColorButton* buttons[] = {nullptr,
                               fSetLevel->MMColorButton1,
                               fSetLevel->MMColorButton2,
                               fSetLevel->MMColorButton3,
                               fSetLevel->MMColorButton4,
                               fSetLevel->MMColorButton5,
                               fSetLevel->MMColorButton6,
                               fSetLevel->MMColorButton7,
                               fSetLevel->MMColorButton8,
                               fSetLevel->MMColorButton9,
                               fSetLevel->MMColorButton10,
                               fSetLevel->MMColorButton11,
                               fSetLevel->MMColorButton12,
                               fSetLevel->MMColorButton13};
  for (int b = 1; b <= 13; ++b) buttons[b]->SetValue(colour(b));
  fSetLevel->MMLEDSpin4->SetValue(9);
  fSetLevel->sp_peaks->SetValue(4);
  fSetLevel->ol_top->SetValue(77);
  fSetLevel->ol_button->SetValue(33);
  // Spot space and "Leave max Peak" are not part of the preview.
  for (int n = 1; n <= 24; ++n) {
    fMain->Level(n)->SetSpotSpace(2);
    fMain->Level(n)->LeaveMaxPeak = false;
    fMain->Level(n)->SetDecay(1);
    fMain->Level(n)->SetBar2Color(clBlack);
  }

  fSetLevel->Button2->click();

  // Buttons giving bottom, middle and top colour, by channel.
  struct Group {
    int first, last;
    int bar1, bar2, bar3;
  };
  const Group groups[] = {
      {1, 4, 3, 2, 1},      {5, 8, 5, 6, 7},   {9, 12, 8, 9, 10},
      {13, 16, 11, 12, 13}, {17, 20, 3, 2, 1}, {21, 24, 5, 6, 7},
  };
  for (const Group& g : groups) {
    for (int n = g.first; n <= g.last; ++n) {
      SCOPED_TRACE(n);
      TMMLevel* level = fMain->Level(n);
      EXPECT_EQ(level->Bar1Color(), colour(g.bar1));
      EXPECT_EQ(level->Bar2Color(), colour(g.bar2));
      EXPECT_EQ(level->Bar3Color(), colour(g.bar3));
      EXPECT_EQ(level->Decay(), 9);
      EXPECT_EQ(level->NumPeaks(), 4);
      EXPECT_EQ(level->Point2(), 77);
      EXPECT_EQ(level->Point1(), 33);
      EXPECT_EQ(level->SpotSpace(), 2);
      EXPECT_FALSE(level->LeaveMaxPeak.load());
      EXPECT_EQ(fMain->Led(n)->LEDColor(), colour(4));
    }
  }
}

TEST_F(BallisticsPresets, SaveStoresTheSelectedStandardsPointsForItsNextApplication) {
  struct Case {
    int index;
    const char* topName;  // any spelling reads the stored value
    const char* bottomName;
  };
  const Case cases[] = {
      {1, "DIN", "DIN2"}, {0, "N9", "n92"},     {2, "bbc", "BBC2"},
      {3, "EBU", "EBU2"}, {4, "DPPM", "dppm2"},
  };
  int top = 60;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    fSetLevel->rg_Meter->SetItemIndex(c.index);
    fSetLevel->ol_top->SetValue(++top);
    fSetLevel->ol_button->SetValue(top - 40);
    fSetLevel->btn_save->click();
    EXPECT_EQ(ReadInt(QString::fromLatin1(c.topName), -1), top);
    EXPECT_EQ(ReadInt(QString::fromLatin1(c.bottomName), -1), top - 40);
    // Changed again without saving, then re-applied: the saved points come back.
    fSetLevel->ol_top->SetValue(99);
    fSetLevel->ol_button->SetValue(2);
    fSetLevel->rg_MeterClick();
    EXPECT_EQ(fSetLevel->ol_top->Value(), top);
    EXPECT_EQ(fSetLevel->ol_button->Value(), top - 40);
    for (int n = 1; n <= 24; ++n) EXPECT_EQ(fMain->Level(n)->Point2(), top);
  }
  // The DIN pair was written as "Din"/"Din2": those name the same values.
  EXPECT_EQ(ReadInt("Din", -1), 61);
  EXPECT_EQ(ReadInt("Din2", -1), 21);
}

TEST_F(BallisticsPresets, SaveWithNoStandardSelectedWritesNothing) {
  fSetLevel->rg_Meter->SetItemIndex(-1);
  fSetLevel->ol_top->SetValue(70);
  fSetLevel->btn_saveClick();
  for (const char* name :
       {"N9", "N92", "DIN", "DIN2", "BBC", "BBC2", "EBU", "EBU2", "DPPM", "DPPM2"})
    EXPECT_EQ(ReadInt(QString::fromLatin1(name), -1), -1) << name;
}

}  // namespace
}  // namespace ostrel
