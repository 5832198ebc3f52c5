// The level scale control: its settings, the shape change with its kind, repainting on
// changes, and what it actually paints.
#include "PaintCounter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPixmap>

#include <climits>
#include <memory>

#include "metering/MMLevelScale.h"

namespace ostrel {
namespace {

// A crisp font, so label pixels come out in exactly their zone colour.
QFont CrispFont() {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(11);
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

// The main window's scale beside an 18 x 649 bar.
std::unique_ptr<TMMLevelScale> ProgramScale(int w = 35, int h = 649) {
  auto s = std::make_unique<TMMLevelScale>();
  s->setFont(CrispFont());
  s->SetScaleTicks(26);
  s->SetPoint1(91);
  s->SetPoint2(92);
  s->SetScale1Color(clSilver);
  s->SetScale2Color(clSilver);
  s->SetKind(lkVertical);
  s->SetSensitivy(-42);
  s->SetSize(w, h);
  return s;
}

TColor Pixel(const QImage& img, int x, int y) {
  return FromQColor(QColor(img.pixel(x, y)));
}

TEST(LevelScaleControl, Defaults) {
  TMMLevelScale s;
  EXPECT_EQ(s.ScaleTicks(), 8);
  EXPECT_EQ(s.Point1(), 50);
  EXPECT_EQ(s.Point2(), 85);
  EXPECT_EQ(s.Scale1Color(), clWhite);
  EXPECT_EQ(s.Scale2Color(), clWhite);
  EXPECT_EQ(s.Scale3Color(), clRed);
  EXPECT_EQ(s.Sensitivy(), -35);
  EXPECT_TRUE(s.LogAmp());
  EXPECT_EQ(s.Kind(), lkHorizontal);
  EXPECT_EQ(s.Direction(), dirNormal);
  EXPECT_EQ(s.ScalePos(), spBoth);
  EXPECT_EQ(s.Color(), clBlack);
  EXPECT_EQ(s.size(), QSize(200, 7));
  ASSERT_NE(s.Scale(), nullptr);
  EXPECT_FALSE(s.Scale()->Visible());
  EXPECT_EQ(s.Scale()->TickCount(), 11);
}

TEST(LevelScaleControl, SettersClamp) {
  TMMLevelScale s;
  const struct {
    void (TMMLevelScale::*set)(int);
    int (TMMLevelScale::*get)() const;
    int given, stored;
  } cases[] = {
      {&TMMLevelScale::SetScaleTicks, &TMMLevelScale::ScaleTicks, 1, 2},
      {&TMMLevelScale::SetScaleTicks, &TMMLevelScale::ScaleTicks, INT_MIN, 2},
      {&TMMLevelScale::SetScaleTicks, &TMMLevelScale::ScaleTicks, INT_MAX, INT_MAX},
      {&TMMLevelScale::SetPoint1, &TMMLevelScale::Point1, 0, 1},
      {&TMMLevelScale::SetPoint1, &TMMLevelScale::Point1, 101, 100},
      {&TMMLevelScale::SetPoint2, &TMMLevelScale::Point2, -7, 1},
      {&TMMLevelScale::SetPoint2, &TMMLevelScale::Point2, 1000, 100},
      {&TMMLevelScale::SetSensitivy, &TMMLevelScale::Sensitivy, -100, -90},
      {&TMMLevelScale::SetSensitivy, &TMMLevelScale::Sensitivy, -3, -9},
      {&TMMLevelScale::SetSensitivy, &TMMLevelScale::Sensitivy, -42, -42},
  };
  for (const auto& c : cases) {
    (s.*c.set)(c.given);
    EXPECT_EQ((s.*c.get)(), c.stored) << c.given;
  }
}

TEST(LevelScaleControl, KindTurnsTheControlAcrossItsShape) {
  TMMLevelScale s;  // 200 x 7
  s.SetKind(lkVertical);
  EXPECT_EQ(s.size(), QSize(7, 200));
  s.SetKind(lkHorizontal);
  EXPECT_EQ(s.size(), QSize(200, 7));
  s.SetSize(30, 100);  // already tall: a vertical kind keeps it
  s.SetKind(lkVertical);
  EXPECT_EQ(s.size(), QSize(30, 100));
  s.SetSize(20, 20);  // square: no exchange either way
  s.SetKind(lkHorizontal);
  EXPECT_EQ(s.size(), QSize(20, 20));
}

TEST(LevelScaleControl, ChangesRepaintAndUnchangedValuesDoNot) {
  auto s = ProgramScale();
  test::PaintCounter counter;
  s->installEventFilter(&counter);
  s->show();
  counter.Settle();

  const struct {
    const char* what;
    std::function<void(TMMLevelScale&)> change;
    bool repaints;
  } cases[] = {
      {"same Point1", [](TMMLevelScale& c) { c.SetPoint1(91); }, false},
      {"same colour", [](TMMLevelScale& c) { c.SetScale3Color(clRed); }, false},
      {"same kind", [](TMMLevelScale& c) { c.SetKind(lkVertical); }, false},
      {"Point1", [](TMMLevelScale& c) { c.SetPoint1(60); }, true},
      {"Sensitivy", [](TMMLevelScale& c) { c.SetSensitivy(-50); }, true},
      {"LogAmp", [](TMMLevelScale& c) { c.SetLogAmp(false); }, true},
      {"Direction", [](TMMLevelScale& c) { c.SetDirection(dirReversed); }, true},
      {"ScalePos", [](TMMLevelScale& c) { c.SetScalePos(spAboveOrLeft); }, true},
      {"Scale2Color", [](TMMLevelScale& c) { c.SetScale2Color(clYellow); }, true},
      {"ScaleTicks", [](TMMLevelScale& c) { c.SetScaleTicks(10); }, true},
      {"tick size", [](TMMLevelScale& c) { c.Scale()->SetSize(3); }, true},
      {"Color", [](TMMLevelScale& c) { c.SetColor(clNavy); }, true},
  };
  for (const auto& c : cases) {
    counter.Settle();
    c.change(*s);
    EXPECT_EQ(counter.PaintsNow() > 0, c.repaints) << c.what;
  }
}

TEST(LevelScaleControl, TickZonesSetDuringPaintSettleAfterOneMorePaint) {
  auto s = ProgramScale(40, 300);
  s->Scale()->SetVisible(true);
  test::PaintCounter counter;
  s->installEventFilter(&counter);
  s->show();
  EXPECT_TRUE(counter.Settle()) << "the scale keeps repainting itself";
  s->SetPoint1(40);  // new zones: one paint sets them, one more finds them unchanged
  EXPECT_GT(counter.PaintsNow(), 0);
  EXPECT_TRUE(counter.Settle()) << "the scale keeps repainting itself";
}

TEST(LevelScaleControl, RendersEveryLabelInItsZoneColourAndNothingElse) {
  auto s = ProgramScale();
  const std::vector<ScaleLabel> labels = s->Labels();
  ASSERT_EQ(labels.size(), 25u);  // the -42 position would hang below the edge
  const QImage img = s->grab().toImage();
  ASSERT_EQ(img.size(), QSize(35, 649));

  const ScaleTextMetrics m = s->TextMetrics();
  QImage seen(img.size(), QImage::Format_RGB32);  // which pixels a label may cover
  seen.fill(Qt::black);
  for (size_t i = 0; i < labels.size(); ++i) {
    const ScaleLabel& l = labels[i];
    const QRect box(l.X, l.Y, m.TextWidth(l.Text), m.TextHeight);
    int own = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x) {
        if (!img.rect().contains(x, y)) continue;
        seen.setPixel(x, y, 0xFFFFFFFF);
        const TColor c = Pixel(img, x, y);
        if (c == l.Color) {
          ++own;
        } else {
          EXPECT_EQ(c, clBlack) << "label " << i << " at " << x << "," << y;
        }
      }
    EXPECT_GT(own, 3) << "label " << i << " \"" << l.Text.toStdString() << "\" not drawn";
    EXPECT_EQ(l.Color, i < 3 ? clRed : clSilver) << i;
  }
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (seen.pixel(x, y) != 0xFFFFFFFF) {
        ASSERT_EQ(Pixel(img, x, y), clBlack) << "stray pixel at " << x << "," << y;
      }
}

TEST(LevelScaleControl, TooSmallForOneLabelPaintsOnlyTheBackground) {
  for (const QSize size : {QSize(35, 5), QSize(35, 0), QSize(0, 649), QSize(1, 1)}) {
    auto s = ProgramScale(size.width(), size.height());
    s->SetColor(clNavy);
    EXPECT_TRUE(s->Labels().empty()) << size.width() << "x" << size.height();
    if (size.isEmpty()) continue;
    const QImage img = s->grab().toImage();
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) ASSERT_EQ(Pixel(img, x, y), clNavy);
  }
  auto h = std::make_unique<TMMLevelScale>();  // horizontal, narrower than "-35"
  h->setFont(CrispFont());
  h->SetSize(8, 20);
  EXPECT_TRUE(h->Labels().empty());
  h->grab();
}

TEST(LevelScaleControl, VisibleTicksDrawBandsAndNarrowTheLabels) {
  auto s = ProgramScale(40, 300);
  s->Scale()->SetVisible(true);
  s->Scale()->SetTickCount(10);
  s->Scale()->SetEnlargeEvery(1);
  s->Scale()->SetSize(7);
  const int half = s->TextMetrics().TextHeight / 2;
  const QImage img = s->grab().toImage();
  // The first tick of each band lies half a line down, in the top zone's colour; the
  // first band's ticks hang from its right edge, the second band's from its left.
  for (int x = 0; x < 7; ++x) EXPECT_EQ(Pixel(img, x, half), clRed) << x;
  for (int x = 33; x < 40; ++x) EXPECT_EQ(Pixel(img, x, half), clRed) << x;
  EXPECT_EQ(Pixel(img, 3, half + 1), clBlack);
  // The zones changed on the tick object during the paint; the settled colours stay.
  EXPECT_EQ(s->Scale()->Color(), clRed);
  EXPECT_EQ(s->Scale()->Color3(), clSilver);
  for (const ScaleLabel& l : s->Labels()) {
    EXPECT_GE(l.X, 7);
    EXPECT_LE(l.X + s->TextMetrics().TextWidth(l.Text), 33);
  }
}

TEST(LevelScaleControl, BandsFillingTheControlLeaveNoLabels) {
  auto s = ProgramScale(14, 649);
  s->Scale()->SetVisible(true);
  s->Scale()->SetSize(7);
  EXPECT_TRUE(s->Labels().empty());
  s->grab();
}

}  // namespace
}  // namespace ostrel
