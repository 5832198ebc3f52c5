// The LED label: captions kept as given, one dot-matrix cell per character drawn in the
// LED and inactive colours, visibility, double-click, and repainting on changes.
#include "PaintCounter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>

#include <functional>
#include <memory>
#include <set>

#include "platform/LedFont.h"
#include "platform/MMLEDLabel.h"

namespace ostrel {
namespace {

TColor Pixel(const QImage& img, QPoint p) {
  return FromQColor(QColor(img.pixel(p)));
}

// A label as it sits under a channel strip: 57 x 26.
std::unique_ptr<TMMLEDLABEL> StripLabel(const QString& caption) {
  auto l = std::make_unique<TMMLEDLABEL>();
  l->resize(57, 26);
  l->SetCaption(caption);
  return l;
}

// Checks every dot of cell `cell` against a pattern of seven rows of five ('#' lit).
void ExpectCell(const TMMLEDLABEL& l, const QImage& img, int cell, const char* rows) {
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 5; ++c) {
      const QRect dot = l.DotRect(cell, c, r);
      const bool lit = rows[r * 6 + c] == '#';
      for (const QPoint p : {dot.topLeft(), dot.bottomRight()})
        EXPECT_EQ(Pixel(img, p), lit ? l.LEDColor() : l.InactiveColor())
            << "cell " << cell << " column " << c << " row " << r;
    }
}

TEST(LedLabel, Defaults) {
  TMMLEDLABEL l;
  EXPECT_EQ(l.Caption(), QString());
  EXPECT_EQ(l.LEDColor(), clLime);
  EXPECT_EQ(l.InactiveColor(), clBlack);
  EXPECT_EQ(l.Color(), clBlack);
  EXPECT_EQ(l.Alignment(), Qt::AlignCenter);
  EXPECT_EQ(l.DotSize(), 0);
}

TEST(LedLabel, CaptionIsKeptAsGivenWithOneCellPerCharacter) {
  const struct {
    QString caption;
    int cells;
  } cases[] = {
      {QString(), 0},
      {QStringLiteral("1"), 1},
      {QStringLiteral(" 1"), 2},  // channel 1's label after the editor's "Okay"
      {QStringLiteral("Mic 12"), 6},
      {QString::fromUtf8("\xC3\x84pfel \xE2\x82\xAC \xE4\xB8\xAD"), 9},  // Äpfel € 中
      {QString::fromUtf8("\xF0\x9F\x8E\xA4"
                         "A"),
       2},  // 🎤 is one character
      {QString(300, QLatin1Char('x')), 300},
      {QStringLiteral("tab\tnew\nline"), 12},
  };
  for (const auto& c : cases) {
    auto l = StripLabel(c.caption);
    EXPECT_EQ(l->Caption(), c.caption);
    EXPECT_EQ(l->CellCount(), c.cells) << c.caption.toStdString();
    l->grab();  // long or odd captions are clipped, never a crash
  }
}

TEST(LedLabel, DigitShowsLitDotsInLedColourAndUnlitInInactiveColour) {
  auto l = StripLabel(QStringLiteral("1"));
  l->SetLEDColor(clCream);
  l->SetInactiveColor(0x003000);
  l->SetColor(clNavy);
  // A single character fills the 26-pixel strip with 3-pixel dots, centred.
  ASSERT_EQ(l->DotPitch(), QSize(3, 3));
  EXPECT_EQ(l->DotRect(0, 0, 0), QRect(21, 2, 2, 2));
  const QImage img = l->grab().toImage();
  ExpectCell(*l, img, 0, "..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.");
  // Between the dots and around the character: background.
  EXPECT_EQ(Pixel(img, {23, 2}), clNavy);
  EXPECT_EQ(Pixel(img, {21, 4}), clNavy);
  EXPECT_EQ(Pixel(img, {0, 0}), clNavy);
  EXPECT_EQ(Pixel(img, {56, 25}), clNavy);
}

TEST(LedLabel, EveryCharacterOfACaptionGetsItsCell) {
  auto l = StripLabel(QStringLiteral("Git"));
  l->SetLEDColor(clCream);
  const QImage img = l->grab().toImage();
  ExpectCell(*l, img, 0, ".###. #...# #.... #.### #...# #...# .####");
  ExpectCell(*l, img, 1, "..#.. ..... .##.. ..#.. ..#.. ..#.. .###.");
  ExpectCell(*l, img, 2, ".#... .#... ###.. .#... .#... .#..# ..##.");
}

TEST(LedLabel, DotsShrinkForLongerCaptions) {
  const struct {
    const char* caption;
    int dotSize;
    QSize pitch;
  } cases[] = {
      {"1", 0, {3, 3}},          {"Git", 0, {3, 3}},  // 51 of 57 pixels
      {"Mic1", 0, {2, 3}},                            // 46 pixels; 3-pixel dots would need 69
      {"Mic 1", 0, {1, 2}},                           // 2-pixel dots would need 58
      {"Mic 12", 0, {1, 2}},                          // narrow dots, rows kept readable
      {"Mix Bus L", 0, {1, 2}},                       // 53 of 57 pixels
      {"ABCDEFGHIJ", 0, {1, 2}},                      // 59: clipped
      {"1", 2, {2, 2}},                               // a fixed dot size
  };
  for (const auto& c : cases) {
    auto l = StripLabel(QString::fromLatin1(c.caption));
    l->SetDotSize(c.dotSize);
    EXPECT_EQ(l->DotPitch(), c.pitch) << c.caption;
  }
}

TEST(LedLabel, NarrowDotsStillShowTheWholeCaption) {
  auto l = StripLabel(QStringLiteral("Mix Bus L"));
  const QImage img = l->grab().toImage();
  ExpectCell(*l, img, 0, "#...# ##.## #.#.# #.#.# #...# #...# #...#");
  ExpectCell(*l, img, 8, "#.... #.... #.... #.... #.... #.... #####");
  EXPECT_LE(l->DotRect(8, 4, 6).right(), 56);
}

TEST(LedLabel, CharactersWithoutPatternShowAHollowBox) {
  auto l = StripLabel(QString::fromUtf8("\xE4\xB8\xAD"));  // 中
  const QImage img = l->grab().toImage();
  ExpectCell(*l, img, 0, "##### #...# #...# #...# #...# #...# #####");
  EXPECT_FALSE(LedFont::HasGlyph(U'\u4E2D'));
  EXPECT_FALSE(LedFont::HasGlyph(U'\t'));
  // Accented letters fall back to their base letter.
  EXPECT_TRUE(LedFont::HasGlyph(U'\u00E9'));
  EXPECT_EQ(LedFont::GlyphFor(U'\u00E9'), LedFont::GlyphFor(U'e'));
  EXPECT_EQ(LedFont::GlyphFor(U'\u00C4'), LedFont::GlyphFor(U'A'));
}

TEST(LedLabel, PrintableAsciiCharactersAreAllDistinguishable) {
  std::set<LedFont::Glyph> seen;
  for (char32_t c = 32; c < 127; ++c) {
    const LedFont::Glyph g = LedFont::GlyphFor(c);
    EXPECT_TRUE(LedFont::HasGlyph(c));
    EXPECT_NE(g, LedFont::kFallback) << char(c);
    EXPECT_TRUE(seen.insert(g).second) << "'" << char(c) << "' looks like another character";
  }
}

TEST(LedLabel, AlignmentPlacesTheText) {
  const struct {
    Qt::Alignment align;
    QPoint firstDot;
  } cases[] = {
      {Qt::AlignCenter, {21, 2}},
      {Qt::AlignLeft | Qt::AlignTop, {0, 0}},
      {Qt::AlignRight | Qt::AlignBottom, {42, 5}},
      {Qt::AlignHCenter | Qt::AlignBottom, {21, 5}},
  };
  for (const auto& c : cases) {
    auto l = StripLabel(QStringLiteral("1"));
    l->SetAlignment(c.align);
    EXPECT_EQ(l->DotRect(0, 0, 0).topLeft(), c.firstDot) << int(c.align);
  }
  // A caption wider than the control keeps its start in view whatever the alignment.
  auto wide = StripLabel(QStringLiteral("ABCDEFGHIJ"));
  wide->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
  EXPECT_EQ(wide->DotRect(0, 0, 0).left(), 0);
}

TEST(LedLabel, DotSizeIsClamped) {
  TMMLEDLABEL l;
  l.SetDotSize(-4);
  EXPECT_EQ(l.DotSize(), 0);
  l.SetDotSize(1000);
  EXPECT_EQ(l.DotSize(), 32);
}

TEST(LedLabel, HiddenLabelDrawsNothing) {
  QWidget strip;
  strip.resize(57, 40);
  strip.setAutoFillBackground(true);
  QPalette pal;
  pal.setColor(QPalette::Window, Qt::black);
  strip.setPalette(pal);
  auto* l = new TMMLEDLABEL(&strip);
  l->setGeometry(0, 14, 57, 26);
  l->SetCaption(QStringLiteral("8"));
  auto limePixels = [&] {
    const QImage img = strip.grab().toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += Pixel(img, {x, y}) == clLime;
    return n;
  };
  strip.show();
  EXPECT_TRUE(l->isVisible());
  EXPECT_GT(limePixels(), 0);
  l->hide();
  EXPECT_FALSE(l->isVisible());
  EXPECT_EQ(limePixels(), 0);
  l->show();
  EXPECT_GT(limePixels(), 0);
}

TEST(LedLabel, DoubleClickRaisesDblClick) {
  auto l = StripLabel(QStringLiteral("3"));
  int clicks = 0;
  QObject::connect(l.get(), &TMMLEDLABEL::DblClick, [&] { ++clicks; });
  const QPointF at(10, 10);
  QMouseEvent press(QEvent::MouseButtonPress, at, l->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, l->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(l.get(), &press);
  QApplication::sendEvent(l.get(), &release);
  EXPECT_EQ(clicks, 0);  // a single click is not enough
  QMouseEvent dbl(QEvent::MouseButtonDblClick, at, l->mapToGlobal(at), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(l.get(), &dbl);
  EXPECT_EQ(clicks, 1);
}

TEST(LedLabel, ChangesRepaintAndShowAtOnce) {
  auto l = StripLabel(QStringLiteral("1"));
  test::PaintCounter counter;
  l->installEventFilter(&counter);
  l->show();
  counter.Settle();
  const struct {
    const char* what;
    std::function<void(TMMLEDLABEL&)> change;
    bool repaints;
  } cases[] = {
      {"same LED colour", [](TMMLEDLABEL& x) { x.SetLEDColor(clLime); }, false},
      {"same caption", [](TMMLEDLABEL& x) { x.SetCaption(QStringLiteral("1")); }, false},
      {"LED colour", [](TMMLEDLABEL& x) { x.SetLEDColor(clRed); }, true},
      {"inactive colour", [](TMMLEDLABEL& x) { x.SetInactiveColor(clMaroon); }, true},
      {"background", [](TMMLEDLABEL& x) { x.SetColor(clNavy); }, true},
      {"caption", [](TMMLEDLABEL& x) { x.SetCaption(QStringLiteral("2")); }, true},
      {"alignment", [](TMMLEDLABEL& x) { x.SetAlignment(Qt::AlignLeft); }, true},
      {"dot size", [](TMMLEDLABEL& x) { x.SetDotSize(2); }, true},
  };
  for (const auto& c : cases) {
    counter.Settle();
    c.change(*l);
    EXPECT_EQ(counter.PaintsNow() > 0, c.repaints) << c.what;
  }
  // The new colours are the ones drawn: the bottom row of "2" is fully lit.
  const QImage img = l->grab().toImage();
  ExpectCell(*l, img, 0, ".###. #...# ....# ...#. ..#.. .#... #####");
  EXPECT_EQ(Pixel(img, l->DotRect(0, 0, 6).topLeft()), clRed);
  EXPECT_EQ(Pixel(img, l->DotRect(0, 0, 0).topLeft()), clMaroon);
}

TEST(LedLabel, EmptyCaptionShowsOnlyTheBackground) {
  auto l = StripLabel(QString());
  l->SetColor(clTeal);
  l->SetInactiveColor(clMaroon);
  const QImage img = l->grab().toImage();
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) ASSERT_EQ(Pixel(img, {x, y}), clTeal);
}

}  // namespace
}  // namespace ostrel
