// Tick bands: which lines a tick object draws in a band, their zone colours, and the
// error raised when there is no surface to draw on.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <climits>
#include <vector>

#include "metering/MMScale.h"

namespace ostrel {

void PrintTo(const TickLine& l, std::ostream* os) {
  *os << "{" << l.X1 << "," << l.Y1 << " - " << l.X2 << "," << l.Y2 << " 0x" << std::hex << l.Color
      << std::dec << "}";
}

namespace {

// Five ticks, every second one long, zones lime / yellow / red ending at ticks 1 and 3.
class Ticks : public ::testing::Test {
 protected:
  void SetUp() override {
    sc.SetTickCount(5);
    sc.SetEnlargeEvery(2);
    sc.SetSize(4);
    sc.SetColor(clLime);
    sc.SetColor2(clYellow);
    sc.SetColor3(clRed);
    sc.SetZone1(1);
    sc.SetZone2(3);
  }
  TMMScale sc;
};

TEST_F(Ticks, HorizontalBandHangsTicksFromTheEdgeTheSideAndOriginChoose) {
  // Ticks every 2 pixels along 8; zone boundaries at 1.6 and 4.8 pixels.
  const std::vector<TickLine> fromBottom = {{0, 0, 0, 3, clLime},
                                            {2, 2, 2, 3, clYellow},
                                            {4, 0, 4, 3, clYellow},
                                            {6, 2, 6, 3, clRed},
                                            {8, 0, 8, 3, clRed}};
  const std::vector<TickLine> fromTop = {{0, 0, 0, 3, clLime},
                                         {2, 0, 2, 1, clYellow},
                                         {4, 0, 4, 3, clYellow},
                                         {6, 0, 6, 1, clRed},
                                         {8, 0, 8, 3, clRed}};
  EXPECT_EQ(sc.TickLines({0, 0, 8, 4}, 1), fromBottom);  // first band, inner origin
  EXPECT_EQ(sc.TickLines({0, 0, 8, 4}, 0), fromTop);
  sc.SetOrigin(soOuter);
  EXPECT_EQ(sc.TickLines({0, 0, 8, 4}, 1), fromTop);
  EXPECT_EQ(sc.TickLines({0, 0, 8, 4}, 0), fromBottom);
}

TEST_F(Ticks, VerticalBandDrawsAcross) {
  const std::vector<TickLine> fromRight = {{10, 20, 13, 20, clLime},
                                           {12, 22, 13, 22, clYellow},
                                           {10, 24, 13, 24, clYellow},
                                           {12, 26, 13, 26, clRed},
                                           {10, 28, 13, 28, clRed}};
  EXPECT_EQ(sc.TickLines({10, 20, 14, 28}, 1), fromRight);
  const std::vector<TickLine> fromLeft = {{10, 20, 13, 20, clLime},
                                          {10, 22, 11, 22, clYellow},
                                          {10, 24, 13, 24, clYellow},
                                          {10, 26, 11, 26, clRed},
                                          {10, 28, 13, 28, clRed}};
  EXPECT_EQ(sc.TickLines({10, 20, 14, 28}, 0), fromLeft);
}

TEST_F(Ticks, HorizontalPositionsAreCutVerticalOnesRoundedToEven) {
  sc.SetTickCount(3);  // ticks 2.5 pixels apart
  sc.SetEnlargeEvery(1);
  std::vector<int> xs, ys;
  for (const TickLine& l : sc.TickLines({0, 0, 5, 4}, 1)) xs.push_back(l.X1);
  for (const TickLine& l : sc.TickLines({0, 0, 4, 5}, 1)) ys.push_back(l.Y1);
  EXPECT_EQ(xs, (std::vector<int>{0, 2, 5}));
  EXPECT_EQ(ys, (std::vector<int>{0, 2, 5}));
  std::vector<int> ys2;
  for (const TickLine& l : sc.TickLines({0, 1, 4, 6}, 1)) ys2.push_back(l.Y1);
  EXPECT_EQ(ys2, (std::vector<int>{1, 4, 6}));  // 3.5 rounds up to 4
}

TEST_F(Ticks, ConnectLineJoinsTheTicksInZoneColours) {
  sc.SetConnect(true);
  EXPECT_EQ(sc.BandThickness(), 5);
  const std::vector<TickLine> bottom = {
      {0, 0, 0, 3, clLime}, {2, 2, 2, 3, clYellow}, {4, 0, 4, 3, clYellow}, {6, 2, 6, 3, clRed},
      {8, 0, 8, 3, clRed},  {0, 4, 1, 4, clLime},   {2, 4, 4, 4, clYellow}, {5, 4, 8, 4, clRed}};
  EXPECT_EQ(sc.TickLines({0, 0, 8, 5}, 1), bottom);
  const std::vector<TickLine> top = {
      {0, 1, 0, 4, clLime}, {2, 1, 2, 2, clYellow}, {4, 1, 4, 4, clYellow}, {6, 1, 6, 2, clRed},
      {8, 1, 8, 4, clRed},  {0, 0, 1, 0, clLime},   {2, 0, 4, 0, clYellow}, {5, 0, 8, 0, clRed}};
  EXPECT_EQ(sc.TickLines({0, 0, 8, 5}, 0), top);
}

TEST_F(Ticks, ZonesApplyOnlyToColouredTicksWithOrderedBoundaries) {
  const struct {
    const char* why;
    void (*change)(TMMScale&);
  } cases[] = {
      {"one colour", [](TMMScale& s) { s.SetColor2(clLime), s.SetColor3(clLime); }},
      {"boundary past the ticks", [](TMMScale& s) { s.SetZone2(6); }},
      {"boundaries crossed", [](TMMScale& s) { s.SetZone1(4); }},
      {"negative boundary", [](TMMScale& s) { s.SetZone1(-1); }},
      {"lowered style", [](TMMScale& s) { s.SetStyle(stLowered); }},
      {"raised style", [](TMMScale& s) { s.SetStyle(stRaised); }},
  };
  for (const auto& c : cases) {
    TMMScale s;
    s.SetTickCount(5);
    s.SetColor(clLime);
    s.SetColor2(clYellow);
    s.SetColor3(clRed);
    s.SetZone1(1);
    s.SetZone2(3);
    s.SetConnect(true);
    c.change(s);
    const auto lines = s.TickLines({0, 0, 8, 8}, 1);
    ASSERT_FALSE(lines.empty()) << c.why;
    for (const TickLine& l : lines) EXPECT_EQ(l.Color, clLime) << c.why;
  }
}

TEST_F(Ticks, ShortTicksOfSizeOneVanish) {
  sc.SetTickCount(3);
  sc.SetEnlargeEvery(2);
  sc.SetSize(1);
  const auto lines = sc.TickLines({0, 0, 8, 1}, 1);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].X1, 0);
  EXPECT_EQ(lines[1].X1, 8);
}

TEST_F(Ticks, MoreTicksThanPixelsMergeIntoOnePerPixel) {
  sc.SetTickCount(INT_MAX);
  sc.SetEnlargeEvery(2);  // the last tick, INT_MAX - 1, is an enlarged one too
  const auto h = sc.TickLines({0, 0, 10, 4}, 1);
  ASSERT_EQ(h.size(), 11u);
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(h[i].X1, i);
    EXPECT_EQ(h[i].Y1, 0) << "every pixel holds an enlarged tick";
  }
  sc.SetTickCount(1000);
  sc.SetEnlargeEvery(1);
  sc.SetZone1(300);  // 3 pixels
  sc.SetZone2(600);  // 6 pixels
  const auto v = sc.TickLines({0, 0, 4, 10}, 1);
  ASSERT_EQ(v.size(), 11u);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(v[i].Y1, i);
  EXPECT_EQ(v.front().Color, clLime);
  EXPECT_EQ(v.back().Color, clRed);
}

TEST_F(Ticks, InvertedBandHoldsNothing) {
  EXPECT_TRUE(sc.TickLines({0, 10, 8, 4}, 1).empty());
}

TEST_F(Ticks, DrawingWithoutCanvasRaisesScaleError) {
  try {
    sc.DrawTicks({0, 0, 8, 4}, 1);
    FAIL() << "no error raised";
  } catch (const EMMScaleError& e) {
    EXPECT_STREQ(e.what(), "Canvas needed for this operation");
  }
  EXPECT_THROW(sc.DrawTicks({0, 0, 8, 4}, 1), std::runtime_error);
}

TEST_F(Ticks, DrawTicksPaintsTheLinesOnTheCanvas) {
  QImage img(10, 6, QImage::Format_RGB32);
  img.fill(Qt::black);
  {
    QPainter p(&img);
    sc.SetCanvas(&p);
    sc.DrawTicks({0, 0, 8, 4}, 1);
    sc.SetCanvas(nullptr);
  }
  auto at = [&](int x, int y) { return FromQColor(QColor(img.pixel(x, y))); };
  EXPECT_EQ(at(0, 0), clLime);
  EXPECT_EQ(at(0, 3), clLime);
  EXPECT_EQ(at(2, 1), clBlack);  // above a short tick
  EXPECT_EQ(at(2, 2), clYellow);
  EXPECT_EQ(at(8, 3), clRed);
  EXPECT_EQ(at(1, 3), clBlack);  // between ticks
  EXPECT_EQ(at(0, 4), clBlack);  // below the band
}

TEST(TickSettings, DefaultsAndClamps) {
  TMMScale s;
  EXPECT_TRUE(s.Visible());
  EXPECT_EQ(s.TickCount(), 11);
  EXPECT_EQ(s.EnlargeEvery(), 5);
  EXPECT_EQ(s.Size(), 7);
  EXPECT_EQ(s.Origin(), soInner);
  EXPECT_FALSE(s.Connect());
  EXPECT_EQ(s.Style(), stColor);
  EXPECT_EQ(s.BandThickness(), 7);

  s.SetTickCount(1);
  EXPECT_EQ(s.TickCount(), 2);
  s.SetTickCount(-5);
  EXPECT_EQ(s.TickCount(), 2);
  s.SetTickCount(INT_MAX);
  EXPECT_EQ(s.TickCount(), INT_MAX);
  s.SetEnlargeEvery(0);
  EXPECT_EQ(s.EnlargeEvery(), 1);
  s.SetSize(0);
  EXPECT_EQ(s.Size(), 1);
  s.SetSize(INT_MAX);
  s.SetConnect(true);
  EXPECT_EQ(s.BandThickness(), INT_MAX);
}

TEST(TickSettings, EveryRealChangeNotifiesOnce) {
  TMMLevScale s;
  int changes = 0;
  QObject::connect(&s, &TMMCustomScale::Changed, [&] { ++changes; });
  s.SetTickCount(11);  // unchanged
  s.SetSize(7);
  s.SetVisible(true);
  QImage img(4, 4, QImage::Format_RGB32);
  QPainter p(&img);
  s.SetCanvas(&p);  // not a setting
  EXPECT_EQ(changes, 0);
  s.SetTickCount(12);
  s.SetEnlargeEvery(2);
  s.SetSize(3);
  s.SetOrigin(soOuter);
  s.SetConnect(true);
  s.SetVisible(false);
  s.SetColor(clRed);
  s.SetZone2(4);
  EXPECT_EQ(changes, 8);
  s.SetColor(clRed);
  EXPECT_EQ(changes, 8);
}

}  // namespace
}  // namespace ostrel
