// The level meter's bar in pixels: spot geometry, zones, markers, bands, dotted spots,
// the handlers that replace or announce drawing, and both surface depths.
#include <gtest/gtest.h>

#include <QImage>

#include <random>
#include <vector>

#include "level_test_support.h"

namespace ostrel {
namespace {

using test::ManualMeter;

// The lowest level that lights `spots` spots on a meter shaped like `like`.
int LevelForSpots(TMMLevel& like, int spots) {
  ManualMeter probe;
  probe->SetKind(like.Kind());
  probe->SetBounds(0, 0, like.width(), like.height());
  probe->Bevel()->SetBevelOuter(like.Bevel()->BevelOuter());
  probe->SetSpotSpace(like.SpotSpace());
  probe->SetSpotWidth(like.SpotWidth());
  probe->SetLogAmp(like.LogAmp());
  probe->SetSensitivy(like.Sensitivy());
  probe->SetDirection(like.Direction());
  int lo = 0, hi = TMMCustomLevel::FullScale;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    probe->ResetDisplay();
    probe->ApplyLevel(mid);
    if (probe->LevelSpots() >= spots)
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

// Lights `level` spots with the marker at `peak`, as readings would (a peak below the
// level leaves the marker on the level, where it is not drawn).
void Show(TMMLevel& m, int level, int peak) {
  m.ResetDisplay();
  if (peak > 0) m.ApplyLevel(LevelForSpots(m, peak));
  m.ApplyLevel(LevelForSpots(m, level));
  ASSERT_EQ(m.LevelSpots(), level);
  ASSERT_EQ(m.PeakSpot(), m.NumPeaks() > 0 ? std::max(peak, level) : 0);
}

TColor Px(const TMMLevel& m, int x, int y) {
  return m.DIB().PixelColor(x, y);
}

// The studio layout: 18 x 736 with a one-pixel raised bevel, one-row spots.
class TallMeter : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    m->SetDIBBitCount(GetParam());
    m->SetKind(lkVertical);
    m->SetBounds(0, 0, 18, 736);
    m->Bevel()->SetBevelOuter(bvRaised);
    m->SetSpotWidth(1);
    m->SetSpotSpace(0);
    m->SetPoint1(56);
    m->SetPoint2(70);
    m->SetLogAmp(false);
    m->SetBar2Color(clLime);
    m->SetInactive2Color(clOlive);
    m->show();
  }
  ManualMeter m;
};

TEST_P(TallMeter, SpotOneIsTheLowestInnerRowAndZonesChangeAt411And513) {
  ASSERT_EQ(m->SpotCount(), 734);
  ASSERT_EQ(m->SpotMargin(), 0);
  ASSERT_EQ(m->Zone1Spot(), 411);
  ASSERT_EQ(m->Zone2Spot(), 513);
  Show(*m, 600, 0);
  for (int row = 0; row < 734; ++row) {
    const int spot = 734 - row;
    TColor want;
    if (spot > 600)
      want = spot > 513 ? clMaroon : spot > 411 ? clOlive : clTeal;
    else
      want = spot > 513 ? clRed : spot > 411 ? clLime : clAqua;
    for (int x : {0, 7, 15}) ASSERT_EQ(Px(*m, x, row), want) << "row " << row;
  }
  // On screen the bar sits inside the bevel: spot 1 is widget row 734, spot 734 row 1.
  const QImage shot = m->grab().toImage();
  EXPECT_EQ(FromQColor(shot.pixelColor(8, 734)), clAqua);
  EXPECT_EQ(FromQColor(shot.pixelColor(8, 1)), clMaroon);
  EXPECT_EQ(FromQColor(shot.pixelColor(0, 1)), clBtnHighlight);
  EXPECT_EQ(FromQColor(shot.pixelColor(17, 735)), clBtnShadow);
}

TEST_P(TallMeter, NothingLitShowsExactlyTheBackground) {
  Show(*m, 300, 400);
  Show(*m, 0, 0);
  EXPECT_EQ(m->DIB().Image(), m->BackgroundSurface().Image());
}

TEST_P(TallMeter, DisabledMeterShowsOnlyTheUnlitBar) {
  m->SetEnabled(false);
  m->SetValue(100);  // level written while disabled: state changes, picture does not
  EXPECT_EQ(m->LevelSpots(), 734);
  m->grab();
  EXPECT_EQ(m->DIB().Image(), m->BackgroundSurface().Image());
}

INSTANTIATE_TEST_SUITE_P(BothDepths, TallMeter, ::testing::Values(8, 24));

// A short bar where every spot is a few pixels, for marker and direction checks.
class ShortBar : public ::testing::Test {
 protected:
  void Make(TMMLevelKind kind, TMMLevelDirection dir, int length, int spotWidth, int spotSpace,
            bool onScreen = true) {
    m->SetKind(kind);
    if (kind == lkHorizontal)
      m->SetBounds(0, 0, length, 4);
    else
      m->SetBounds(0, 0, 4, length);
    m->SetSpotSpace(spotSpace);
    m->SetSpotWidth(spotWidth);
    m->SetDirection(dir);
    m->SetLogAmp(false);
    m->SetBar1Color(clYellow);
    m->SetInactive1Color(clNavy);
    m->SetPoint1(100);
    m->SetPoint2(100);
    if (onScreen) m->show();
  }
  // Colour along the bar at pixel `pos` (column or row), mid-way across.
  TColor At(int pos) {
    return m->Kind() == lkHorizontal ? Px(*m.meter, pos, 2) : Px(*m.meter, 2, pos);
  }
  ManualMeter m;
};

TEST_F(ShortBar, SpotsStartAtTheMarginAndStepByWidthPlusSpace) {
  struct Case {
    TMMLevelKind kind;
    TMMLevelDirection dir;
    int length;
    const char* pixels;  // y lit, n unlit, . Color, from pixel 0 along the bar
  } cases[] = {
      {lkHorizontal, dirNormal, 102, ".yyy.yyy.nnn."},  // margin 1, spot 1 at 1..3
      {lkHorizontal, dirNormal, 100, "yyy.yyy.nnn."},
      {lkVertical, dirReversed, 100, "yyy.yyy.nnn."},  // reversed vertical: from the top
  };
  for (const Case& c : cases) {
    ManualMeter fresh;
    std::swap(m.meter, fresh.meter);  // each case on a meter of its own
    Make(c.kind, c.dir, c.length, 3, 1);
    Show(*m, 2, 0);
    ASSERT_EQ(m->SpotCount(), 25);
    for (int i = 0; c.pixels[i]; ++i) {
      const TColor want = c.pixels[i] == 'y' ? clYellow : c.pixels[i] == 'n' ? clNavy : clBlack;
      EXPECT_EQ(At(i), want) << c.length << " pixel " << i;
    }
    std::swap(m.meter, fresh.meter);
  }
}

TEST_F(ShortBar, BarsGrowFromTheirFirstSpotInEveryDirection) {
  // 10 pixels, 1-pixel spots with 1-pixel spaces: 5 spots, margin 0.
  struct Case {
    TMMLevelKind kind;
    TMMLevelDirection dir;
    const char* pixels;
  } cases[] = {
      {lkHorizontal, dirNormal, "y.y.n.n.n."},
      {lkHorizontal, dirReversed, ".n.n.n.y.y"},
      {lkVertical, dirNormal, ".n.n.n.y.y"},  // upward from the bottom row
      {lkVertical, dirReversed, "y.y.n.n.n."},
  };
  for (const Case& c : cases) {
    ManualMeter fresh;
    std::swap(m.meter, fresh.meter);
    Make(c.kind, c.dir, 10, 1, 1);
    Show(*m, 2, 0);
    for (int i = 0; i < 10; ++i) {
      const TColor want = c.pixels[i] == 'y' ? clYellow : c.pixels[i] == 'n' ? clNavy : clBlack;
      EXPECT_EQ(At(i), want) << "kind " << int(c.kind) << " dir " << int(c.dir) << " pixel " << i;
    }
    std::swap(m.meter, fresh.meter);
  }
}

TEST_F(ShortBar, MarkerCoversNumPeaksSpotsDownFromThePeak) {
  Make(lkHorizontal, dirNormal, 40, 1, 1);  // 20 spots, spot i at column 2(i-1)
  m->SetNumPeaks(3);
  Show(*m, 10, 12);
  for (int spot = 1; spot <= 20; ++spot)
    EXPECT_EQ(At(2 * (spot - 1)), spot <= 12 ? clYellow : clNavy) << "spot " << spot;

  m->SetNumPeaks(1);
  Show(*m, 10, 12);
  EXPECT_EQ(At(2 * 10), clNavy);  // spot 11 stays dark
  EXPECT_EQ(At(2 * 11), clYellow);

  Show(*m, 12, 12);  // peak on the level: no marker beyond it
  EXPECT_EQ(At(2 * 12), clNavy);
  EXPECT_EQ(At(2 * 11), clYellow);
}

TEST_F(ShortBar, MarkerColourIsTheZoneOfItsSpot) {
  Make(lkHorizontal, dirNormal, 40, 1, 1);
  m->SetPoint1(50);  // zone 1 up to spot 10
  m->SetBar2Color(clLime);
  m->SetNumPeaks(2);
  Show(*m, 5, 11);
  EXPECT_EQ(At(2 * 10), clLime);   // spot 11
  EXPECT_EQ(At(2 * 9), clYellow);  // spot 10
  EXPECT_EQ(At(2 * 8), clNavy);    // spot 9
}

TEST_F(ShortBar, SymmetricBarShowsABandOfFiveInTheZoneOfItsCentre) {
  Make(lkHorizontal, dirSymetric, 20, 1, 1);  // 10 spots from the right: spot i at 19-2(i-1)
  m->SetPoint1(40);                           // zone 1 up to spot 4
  m->SetBar2Color(clLime);
  m->SetInactive2Color(clNavy);
  m->ApplyLevel(LevelForSpots(*m, 1));  // band on spots -1..3, of which 1..3 are on the bar
  ASSERT_EQ(m->LevelSpots(), 1);
  for (int spot = 1; spot <= 10; ++spot)
    EXPECT_EQ(At(19 - 2 * (spot - 1)), spot <= 3 ? clYellow : clNavy) << "spot " << spot;
  m->ApplyLevel(TMMCustomLevel::FullScale);  // p = 10 halves to 5: spots 3..7, zone of 5
  ASSERT_EQ(m->LevelSpots(), 5);
  for (int spot = 1; spot <= 10; ++spot) {
    const bool inBand = spot >= 3 && spot <= 7;
    EXPECT_EQ(At(19 - 2 * (spot - 1)), inBand ? clLime : clNavy) << "spot " << spot;
  }
}

TEST_F(ShortBar, DottedSpotsPaintEvenOffsetsOverWhatLiesBeneath) {
  Make(lkHorizontal, dirNormal, 11, 3, 1);  // 3 spots of 3 x 4 pixels, margin 0
  m->SetActiveDoted(true);
  m->SetInactiveDoted(true);
  Show(*m, 1, 0);
  // Lit spot 1 (columns 0..2): dots over the filled... unlit spot is dotted over Color too.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x) {
      const bool dot = x % 2 == 0 && y % 2 == 0;
      EXPECT_EQ(Px(*m, x, y), dot ? clYellow : clBlack) << x << "," << y;
      EXPECT_EQ(Px(*m, 4 + x, y), dot ? clNavy : clBlack) << 4 + x << "," << y;
    }
  m->SetInactiveDoted(false);
  Show(*m, 1, 0);
  EXPECT_EQ(Px(*m, 0, 0), clYellow);
  EXPECT_EQ(Px(*m, 1, 0), clNavy);  // the filled unlit spot shows between the dots
}

struct PatchCase {
  TMMLevelDirection direction;
  int spotWidth, spotSpace;
  bool dotted;
};

class PatchedBar : public ::testing::TestWithParam<PatchCase> {
 protected:
  // 4 x 61 vertical bar in two zones with a four-spot marker.
  static void Configure(TMMLevel& m, const PatchCase& c) {
    m.SetKind(lkVertical);
    m.SetBounds(0, 0, 4, 61);
    m.SetSpotSpace(c.spotSpace);
    m.SetSpotWidth(c.spotWidth);
    m.SetDirection(c.direction);
    m.SetLogAmp(false);
    m.SetPoint1(40);
    m.SetPoint2(70);
    m.SetBar1Color(clYellow);
    m.SetBar2Color(clLime);
    m.SetInactive1Color(clNavy);
    m.SetNumPeaks(4);
    m.SetActiveDoted(c.dotted);
  }
};

TEST_P(PatchedBar, ReadingsPatchTheSurfaceToTheSamePictureAsAFullRedraw) {
  ManualMeter m;
  Configure(*m, GetParam());
  m->show();
  const int spots = m->SpotCount();
  std::vector<int> levels;
  for (int s = 0; s <= spots; ++s) levels.push_back(LevelForSpots(*m, s));
  std::mt19937 rng(7);
  for (int step = 0; step < 150; ++step) {
    if (step % 5 == 0) m.Ticks(41);  // let the marker fall now and then; the reading shows it
    m->ApplyLevel(levels[rng() % levels.size()]);
    // A fresh meter drawn whole from the same state is the reference.
    ManualMeter ref;
    Configure(*ref, GetParam());
    const int level = m->LevelSpots(), peak = m->PeakSpot();
    if (peak > level) ref->ApplyLevel(levels[peak]);
    ref->ApplyLevel(levels[level]);
    ASSERT_EQ(ref->LevelSpots(), level);
    ref->grab();
    ASSERT_EQ(m->DIB().Image().convertToFormat(QImage::Format_RGB32),
              ref->DIB().Image().convertToFormat(QImage::Format_RGB32))
        << "step " << step << ": level " << level << ", peak " << peak;
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PatchedBar,
                         ::testing::Values(PatchCase{dirNormal, 2, 1, true},
                                           PatchCase{dirNormal, 1, 0, false},
                                           PatchCase{dirReversed, 3, 2, false},
                                           PatchCase{dirReversed, 2, 0, true}));

TEST_F(ShortBar, OnDrawBarReplacesTheMeterDrawingAndFreezesTheBackground) {
  Make(lkHorizontal, dirNormal, 40, 1, 1);
  std::vector<std::string> calls;
  QRect gotRect;
  int gotSpots = -1, gotPeak = -1;
  m->SetOnPaint([&](QObject* sender) {
    EXPECT_EQ(sender, m.meter.get());
    calls.push_back("paint");
  });
  m->SetOnDrawBar([&](TMMCustomLevel*, TMMDIBCanvas& dib, const QRect& r, int n, int peak) {
    calls.push_back("bar");
    gotRect = r;
    gotSpots = n;
    gotPeak = peak;
    dib.SetColor(clFuchsia);
    dib.FillRect(QRect(0, 0, 5, 4));
  });
  const QImage before = m->BackgroundSurface().Image();
  m->SetInactive1Color(clGreen);  // not rebuilt while the handler is assigned
  EXPECT_EQ(m->BackgroundSurface().Image(), before);

  calls.clear();
  m->ApplyLevel(LevelForSpots(*m, 7));
  EXPECT_EQ(calls, (std::vector<std::string>{"paint", "bar"}));
  EXPECT_EQ(gotRect, QRect(0, 0, 40, 4));
  EXPECT_EQ(gotSpots, 7);
  EXPECT_EQ(gotPeak, 7);
  EXPECT_EQ(Px(*m, 4, 3), clFuchsia);
  EXPECT_NE(Px(*m, 0, 0), clYellow);  // the meter drew no spots of its own

  m->SetOnDrawBar(nullptr);  // removal rebuilds with the colour set meanwhile
  EXPECT_NE(m->BackgroundSurface().Image(), before);
  m->grab();
  EXPECT_EQ(Px(*m, 2 * 20 - 2, 2), clGreen);  // unlit spot 20
}

TEST_F(ShortBar, ColourAndDepthChangesRebuildTheBackground) {
  Make(lkHorizontal, dirNormal, 40, 1, 1);
  m->SetInactive1Color(clGreen);
  EXPECT_EQ(m->BackgroundSurface().PixelColor(0, 0), clGreen);
  m->SetColor(clWhite);
  EXPECT_EQ(m->BackgroundSurface().PixelColor(1, 0), clWhite);
  m->SetDIBBitCount(24);
  EXPECT_EQ(m->BackgroundSurface().BitCount(), 24);
  EXPECT_EQ(m->BackgroundSurface().PixelColor(0, 0), clGreen);
  try {
    m->SetDIBBitCount(32);
    ADD_FAILURE() << "32 bits accepted";
  } catch (const EMMDIBError& e) {
    EXPECT_STREQ(e.what(), "Bitlength not supported yet");
  }
  EXPECT_EQ(m->DIBBitCount(), 24);
  Show(*m, 3, 0);
  EXPECT_EQ(Px(*m, 4, 0), clYellow);
  EXPECT_EQ(Px(*m, 6, 0), clGreen);
}

TEST_F(ShortBar, MeterOffScreenDrawsNothingUntilItIsPainted) {
  Make(lkHorizontal, dirNormal, 40, 1, 1, false);  // never shown, not hidden on purpose
  ASSERT_TRUE(m->Visible());
  ASSERT_FALSE(m->isVisible());
  const QImage before = m->DIB().Image();
  m->ApplyLevel(LevelForSpots(*m, 5));
  EXPECT_EQ(m->DIB().Image(), before);
  m->grab();
  EXPECT_EQ(Px(*m, 8, 0), clYellow);
  EXPECT_EQ(Px(*m, 10, 0), clNavy);
}

}  // namespace
}  // namespace ostrel
