// Label and tick-band layout of the level scale, computed without painting. A fixed-pitch
// stand-in font keeps every position exact: each character `kCharWidth` wide, lines
// `kLineHeight` high (26-position tests) or 10 high (small tables).
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "metering/LevelScaleLayout.h"

namespace ostrel {

void PrintTo(const ScaleLabel& l, std::ostream* os) {
  *os << "{x " << l.X << ", y " << l.Y << ", \"" << l.Text.toStdString() << "\", colour 0x"
      << std::hex << l.Color << std::dec << ", n " << l.N << ", number " << l.Number << "}";
}

namespace {

ScaleTextMetrics FixedFont(int charWidth, int lineHeight) {
  return {lineHeight, [charWidth](const QString& t) { return charWidth * int(t.size()); }};
}

LtrbRect Whole(int w, int h) {
  return {0, 0, w, h};
}

// The main window's scales: 26 positions down to -42 dB, zones at 91 % and 92 %.
LevelScaleSettings ProgramScale() {
  LevelScaleSettings s;
  s.Kind = lkVertical;
  s.ScaleTicks = 26;
  s.Sensitivy = -42;
  s.Point1 = 91;
  s.Point2 = 92;
  s.Scale1Color = clSilver;
  s.Scale2Color = clSilver;
  s.Scale3Color = clRed;
  return s;
}

TEST(LevelScaleLayout, ProgramScaleLabelsEveryPositionButTheLast) {
  const LevelScaleSettings s = ProgramScale();
  const ScaleTextMetrics font = FixedFont(6, 13);
  const std::vector<ScaleLabel> labels = ComputeScaleLabels(s, 31, 753, Whole(31, 753), font);

  // Label n reads MulDiv(n, -42, 25) and sits RoundDiv(n, 752, 25) pixels down, right-
  // aligned in a column three characters wide centred in the 31 pixels.
  struct Row {
    int y;
    const char* text;
    int number;
  };
  const Row rows[] = {{0, "0", 0},       {30, "--", -2},    {60, "--", -3},    {90, "-5", -5},
                      {120, "--", -7},   {150, "--", -8},   {180, "-10", -10}, {211, "--", -12},
                      {241, "--", -13},  {271, "-15", -15}, {301, "--", -17},  {331, "--", -18},
                      {361, "-20", -20}, {391, "--", -22},  {421, "--", -24},  {451, "-25", -25},
                      {481, "--", -27},  {511, "--", -29},  {541, "-30", -30}, {572, "-32", -32},
                      {602, "-34", -34}, {632, "-35", -35}, {662, "-37", -37}, {692, "-39", -39},
                      {722, "-40", -40}};
  std::vector<ScaleLabel> expected;
  for (int n = 0; n < 25; ++n) {
    const QString text = QString::fromLatin1(rows[n].text);
    const int x = 31 - 15 - 9 + (18 - 6 * int(text.size())) - 1;
    expected.push_back({x, rows[n].y, text, n < 3 ? clRed : clSilver, n, rows[n].number});
  }
  EXPECT_EQ(labels, expected);

  int dashes = 0;
  for (const ScaleLabel& l : labels) dashes += l.Text == QStringLiteral("--");
  EXPECT_EQ(dashes, 12);
}

TEST(LevelScaleLayout, TwoPositionsShowOnlyTheZeroLabel) {
  LevelScaleSettings s = ProgramScale();
  s.ScaleTicks = 2;
  const auto labels = ComputeScaleLabels(s, 31, 753, Whole(31, 753), FixedFont(6, 13));
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels[0].Text, QStringLiteral("0"));
  EXPECT_EQ(labels[0].Y, 0);
}

TEST(LevelScaleLayout, LinearScaleStepsTheLevelNotTheDecibels) {
  LevelScaleSettings s;
  s.Kind = lkVertical;
  s.LogAmp = false;
  s.Sensitivy = -20;
  s.ScaleTicks = 3;
  EXPECT_EQ(ScaleNumber(s, 0), 0);
  EXPECT_EQ(ScaleNumber(s, 1), -5);
  EXPECT_EQ(ScaleNumber(s, 2), -20);
  const auto labels = ComputeScaleLabels(s, 31, 100, Whole(31, 100), FixedFont(6, 13));
  ASSERT_EQ(labels.size(), 2u);  // the bottom one would hang below the edge
  EXPECT_EQ(labels[0].Text, QStringLiteral("0"));
  EXPECT_EQ(labels[1].Text, QStringLiteral("-5"));
}

TEST(LevelScaleLayout, LinearNumbersFollowKindAndDirection) {
  // Which end of the walk is 0 dB: the top of a normal vertical scale, the right of a
  // normal horizontal one, and the other end when reversed.
  const struct {
    TMMLevelKind kind;
    TMMLevelDirection dir;
    int n0, n1, n2;
  } cases[] = {{lkVertical, dirNormal, 0, -5, -20},   {lkVertical, dirReversed, -20, -5, 0},
               {lkHorizontal, dirNormal, -20, -5, 0}, {lkHorizontal, dirReversed, 0, -5, -20},
               {lkVertical, dirSymetric, 0, -5, -20}, {lkHorizontal, dirSymetric, -20, -5, 0}};
  for (const auto& c : cases) {
    LevelScaleSettings s;
    s.Kind = c.kind;
    s.Direction = c.dir;
    s.LogAmp = false;
    s.Sensitivy = -20;
    s.ScaleTicks = 3;
    EXPECT_EQ(ScaleNumber(s, 0), c.n0) << int(c.kind) << "/" << int(c.dir);
    EXPECT_EQ(ScaleNumber(s, 1), c.n1) << int(c.kind) << "/" << int(c.dir);
    EXPECT_EQ(ScaleNumber(s, 2), c.n2) << int(c.kind) << "/" << int(c.dir);
  }
}

TEST(LevelScaleLayout, DashesOnlyOnVerticalScales) {
  for (int v : {-2, -3, -7, -8, -12, -13, -17, -18, -22, -24, -27, -29}) {
    EXPECT_EQ(ScaleNumberText(v, lkVertical), QStringLiteral("--")) << v;
    EXPECT_EQ(ScaleNumberText(v, lkHorizontal), QString::number(v)) << v;
  }
  for (int v : {0, -1, -4, -5, -10, -23, -28, -30, -42, 2})
    EXPECT_EQ(ScaleNumberText(v, lkVertical), QString::number(v)) << v;
}

// Five positions down to -20 dB in every kind and direction; zones lime / yellow / red at
// 50 % and 85 %; characters 5 wide, lines 10 high.
struct KindCase {
  const char* name;
  TMMLevelKind kind;
  TMMLevelDirection dir;
  int width, height;
  std::vector<ScaleLabel> expected;
};

void PrintTo(const KindCase& c, std::ostream* os) {
  *os << c.name;
}

class LevelScaleKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(LevelScaleKinds, LabelsSitWhereTheWalkPutsThem) {
  const KindCase& c = GetParam();
  LevelScaleSettings s;
  s.Kind = c.kind;
  s.Direction = c.dir;
  s.ScaleTicks = 5;
  s.Sensitivy = -20;
  s.Scale1Color = clLime;
  s.Scale2Color = clYellow;
  s.Scale3Color = clRed;
  EXPECT_EQ(ComputeScaleLabels(s, c.width, c.height, Whole(c.width, c.height), FixedFont(5, 10)),
            c.expected);
}

const QString T(const char* t) {
  return QString::fromLatin1(t);
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, LevelScaleKinds,
    ::testing::Values(
        // 0 dB at the bottom; the top label would start above the control.
        KindCase{"VerticalReversed",
                 lkVertical,
                 dirReversed,
                 20,
                 100,
                 {{12, 89, T("0"), clRed, 4, 0},
                  {7, 64, T("-5"), clYellow, 3, -5},
                  {2, 40, T("-10"), clYellow, 2, -10},
                  {2, 15, T("-15"), clLime, 1, -15}}},
        // 0 dB in the middle, negatives below and their "+" mirror above; the last
        // position would run past the half.
        KindCase{"VerticalSymetric",
                 lkVertical,
                 dirSymetric,
                 20,
                 100,
                 {{12, 46, T("0"), clRed, 0, 0},
                  {7, 58, T("-5"), clYellow, 1, -5},
                  {7, 34, T("+5"), clYellow, 1, -5},
                  {2, 71, T("-10"), clLime, 2, -10},
                  {2, 21, T("+10"), clLime, 2, -10},
                  {2, 83, T("-15"), clLime, 3, -15},
                  {2, 9, T("+15"), clLime, 3, -15}}},
        // 0 dB at the right end; the left end (n = 0) would start left of the control.
        KindCase{"HorizontalNormal",
                 lkHorizontal,
                 dirNormal,
                 100,
                 20,
                 {{94, 5, T("0"), clRed, 4, 0},
                  {64, 5, T("-5"), clYellow, 3, -5},
                  {35, 5, T("-10"), clYellow, 2, -10},
                  {10, 5, T("-15"), clLime, 1, -15}}},
        // 0 dB at the left end; the right end would run past the control.
        KindCase{"HorizontalReversed",
                 lkHorizontal,
                 dirReversed,
                 100,
                 20,
                 {{0, 5, T("0"), clRed, 0, 0},
                  {25, 5, T("-5"), clYellow, 1, -5},
                  {50, 5, T("-10"), clLime, 2, -10},
                  {74, 5, T("-15"), clLime, 3, -15}}},
        // Three labels need 45 of the 50 pixels of a half: every second position.
        KindCase{"HorizontalSymetric",
                 lkHorizontal,
                 dirSymetric,
                 100,
                 20,
                 {{47, 5, T("0"), clRed, 4, 0},
                  {18, 5, T("-10"), clYellow, 2, -10},
                  {67, 5, T("+10"), clYellow, 2, -10}}}),
    [](const ::testing::TestParamInfo<KindCase>& i) { return std::string(i.param.name); });

TEST(LevelScaleLayout, HorizontalNormalSkipsTheLeftEnd) {
  LevelScaleSettings s;  // 8 positions down to -35 dB
  s.Scale1Color = clLime;
  s.Scale2Color = clYellow;
  const auto labels = ComputeScaleLabels(s, 200, 20, Whole(200, 20), FixedFont(6, 13));
  const std::vector<ScaleLabel> expected = {
      {193, 3, T("0"), clRed, 7, 0},        {159, 3, T("-5"), clRed, 6, -5},
      {124, 3, T("-10"), clYellow, 5, -10}, {96, 3, T("-15"), clYellow, 4, -15},
      {67, 3, T("-20"), clLime, 3, -20},    {39, 3, T("-25"), clLime, 2, -25},
      {10, 3, T("-30"), clLime, 1, -30}};
  EXPECT_EQ(labels, expected);
}

TEST(LevelScaleLayout, LabelStepIsTheSmallestStepThatFits) {
  const struct {
    int extent, perLabel, positions, step;
  } cases[] = {
      {753, 13, 26, 1},                    // the program's scale
      {350, 14, 26, 1},                    // 25 labels of 14 fill 350 exactly
      {349, 14, 26, 2}, {100, 13, 26, 4},  // 6 gaps of 13 fit, 8 do not
      {13, 13, 26, 13},                    // room for a single gap
      {12, 13, 26, 0},                     // not even one label
      {0, 13, 26, 0},   {100, 0, 26, 0},   // a font without height
      {100, 13, 2, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LabelStep(c.extent, c.perLabel, c.positions), c.step)
        << c.extent << " / " << c.perLabel << " x " << c.positions;
}

TEST(LevelScaleLayout, LabelStepForHugePositionCountsIsMinimal) {
  const std::int64_t extent = 753, per = 13, last = std::int64_t(INT_MAX) - 1;
  const std::int64_t e = LabelStep(int(extent), int(per), INT_MAX);
  ASSERT_GT(e, 1);
  EXPECT_LE((last / e) * per, extent);
  EXPECT_GT((last / (e - 1)) * per, extent);
}

TEST(LevelScaleLayout, ControlsTooSmallForOneLabelDrawNone) {
  LevelScaleSettings v = ProgramScale();
  EXPECT_TRUE(ComputeScaleLabels(v, 31, 12, Whole(31, 12), FixedFont(6, 13)).empty());
  EXPECT_TRUE(ComputeScaleLabels(v, 31, 0, Whole(31, 0), FixedFont(6, 13)).empty());
  v.Direction = dirSymetric;  // each half needs a line
  EXPECT_TRUE(ComputeScaleLabels(v, 31, 25, Whole(31, 25), FixedFont(6, 13)).empty());
  LevelScaleSettings h;
  h.Sensitivy = -42;  // "-42" is 18 wide
  EXPECT_TRUE(ComputeScaleLabels(h, 17, 20, Whole(17, 20), FixedFont(6, 13)).empty());
  EXPECT_TRUE(ComputeScaleLabels(h, 31, 20, Whole(31, 20), FixedFont(0, 0)).empty());
}

TEST(LevelScaleLayout, HugePositionCountsStayBounded) {
  LevelScaleSettings s = ProgramScale();
  s.ScaleTicks = INT_MAX;
  const auto labels = ComputeScaleLabels(s, 31, 753, Whole(31, 753), FixedFont(6, 13));
  ASSERT_FALSE(labels.empty());
  EXPECT_LE(labels.size(), 753u / 13u + 1u);
  EXPECT_EQ(labels.front().Text, QStringLiteral("0"));
  for (const ScaleLabel& l : labels) EXPECT_LE(l.Y + 13, 753);
}

TEST(LevelScaleLayout, TickBandsFollowKindAndDirection) {
  // 8-pixel bands; labels 10 high and "0" 6 wide, so half is 5 (vertical) or 3.
  const ScaleTextMetrics font = FixedFont(6, 10);
  const struct {
    TMMLevelKind kind;
    TMMLevelDirection dir;
    TMMScalePos pos;
    int w, h;
    std::vector<TickBand> bands;
    LtrbRect area;
  } cases[] = {
      {lkVertical,
       dirNormal,
       spBoth,
       40,
       200,
       {{{0, 5, 8, 204}, 1}, {{32, 5, 40, 204}, 0}},
       {8, 0, 32, 200}},
      {lkVertical,
       dirReversed,
       spBoth,
       40,
       200,
       {{{0, -5, 8, 194}, 1}, {{32, -5, 40, 194}, 0}},
       {8, 0, 32, 200}},
      {lkVertical, dirSymetric, spBelowOrRight, 40, 200, {{{32, 5, 40, 204}, 0}}, {0, 0, 32, 200}},
      {lkHorizontal,
       dirNormal,
       spBoth,
       200,
       40,
       {{{-4, 0, 196, 8}, 1}, {{-4, 32, 196, 40}, 0}},
       {0, 8, 200, 32}},
      {lkHorizontal,
       dirReversed,
       spBoth,
       200,
       40,
       {{{3, 0, 202, 8}, 1}, {{3, 32, 202, 40}, 0}},
       {0, 8, 200, 32}},
      {lkHorizontal, dirNormal, spAboveOrLeft, 200, 40, {{{-4, 0, 196, 8}, 1}}, {0, 8, 200, 40}},
  };
  for (const auto& c : cases) {
    LevelScaleSettings s;
    s.Kind = c.kind;
    s.Direction = c.dir;
    s.ScalePos = c.pos;
    const TickBandLayout l = ComputeTickBands(s, c.w, c.h, 8, font);
    EXPECT_EQ(l.Bands, c.bands) << int(c.kind) << "/" << int(c.dir) << "/" << int(c.pos);
    EXPECT_EQ(l.LabelArea, c.area) << int(c.kind) << "/" << int(c.dir) << "/" << int(c.pos);
  }
}

TEST(LevelScaleLayout, BandsTakingTheWholeAreaLeaveNoLabels) {
  LevelScaleSettings s = ProgramScale();
  const ScaleTextMetrics font = FixedFont(6, 13);
  const TickBandLayout l = ComputeTickBands(s, 14, 753, 7, font);
  EXPECT_EQ(l.LabelArea, (LtrbRect{7, 0, 7, 753}));
  EXPECT_TRUE(ComputeScaleLabels(s, 14, 753, l.LabelArea, font).empty());
  // Bands wider than the control leave an inverted area: still nothing.
  const TickBandLayout over = ComputeTickBands(s, 14, 753, INT_MAX, font);
  EXPECT_TRUE(ComputeScaleLabels(s, 14, 753, over.LabelArea, font).empty());
}

TEST(LevelScaleLayout, TickZonesMirrorForVerticalScales) {
  const struct {
    TMMLevelKind kind;
    TMMLevelDirection dir;
    int p1, p2, ticks;
    TickZones zones;
  } cases[] = {
      // The program's scale: 91 % / 92 % of 10 ticks, counted from the top.
      {lkVertical, dirNormal, 91, 92, 10, {clRed, clYellow, clLime, 1, 1}},
      {lkHorizontal, dirNormal, 50, 85, 11, {clLime, clYellow, clRed, 5, 9}},
      {lkHorizontal, dirReversed, 50, 85, 11, {clRed, clYellow, clLime, 2, 5}},
      {lkVertical, dirReversed, 46, 85, 10, {clLime, clYellow, clRed, 5, 8}},  // 4.5 -> 5
      {lkVertical, dirSymetric, 1, 100, 10, {clRed, clYellow, clLime, 0, 10}},
  };
  for (const auto& c : cases) {
    LevelScaleSettings s;
    s.Kind = c.kind;
    s.Direction = c.dir;
    s.Point1 = c.p1;
    s.Point2 = c.p2;
    s.Scale1Color = clLime;
    s.Scale2Color = clYellow;
    s.Scale3Color = clRed;
    EXPECT_EQ(ComputeTickZones(s, c.ticks), c.zones) << int(c.kind) << "/" << int(c.dir);
  }
}

}  // namespace
}  // namespace ostrel
