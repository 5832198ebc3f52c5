// Pixel checks of the scale pictures at the two sizes they are shown at most: the settings
// window's preview (36 x 425) and a main-window strip picture (37 x 660). Every tick row,
// zone and label position below is worked out by hand from the drawing rules and written
// down as a literal, in drawing order; the test paints those into an expected picture and
// compares pixel for pixel outside the label texts.
#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <ostream>
#include <string>
#include <vector>

#include "ballistics/ScaleImages.h"
#include "platform/ImageControl.h"

namespace ostrel {
namespace {

QRgb Rgb(TColor c) {
  return ToQColor(c).rgb();
}

using DrawFn = void (*)(QImage&, const QFont&);
const DrawFn kAllStandards[] = {DrawNordicScale, DrawDinScale, DrawBbcScale, DrawEbuScale,
                                DrawDigitalScale};

// One drawing step of the expected picture. Ticks and fills use [x1, x2) x [y1, y2).
struct Op {
  enum Kind { kFill, kTick, kRedTick, kLabel } kind;
  int x1, y1, x2, y2;
  std::string text;
};
Op Fill(int x1, int y1, int x2, int y2) {
  return {Op::kFill, x1, y1, x2, y2, {}};
}
Op Tick(int x1, int x2, int y) {
  return {Op::kTick, x1, y, x2, y + 1, {}};
}
Op RedTick(int x1, int x2, int y) {
  return {Op::kRedTick, x1, y, x2, y + 1, {}};
}
Op Label(int x, int y, std::string text) {
  return {Op::kLabel, x, y, 0, 0, std::move(text)};
}

// The expected picture plus, per pixel, which label (if any) was the last to paint it.
struct Expected {
  QImage image;
  std::vector<int> owner;  // -1: not inside a label cell
  std::vector<Op> labels;
};

Expected BuildExpected(int w, int h, const std::vector<Op>& ops, const QFont& font, TColor scale) {
  Expected e{QImage(w, h, QImage::Format_RGB32), std::vector<int>(size_t(w) * h, -1), {}};
  e.image.fill(Rgb(clBlack));
  const QFontMetrics fm(font);
  auto paint = [&](QRect r, QRgb colour, int label) {
    r = r.intersected(QRect(0, 0, w, h));
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) {
        e.image.setPixel(x, y, colour);
        e.owner[size_t(y) * w + x] = label;
      }
  };
  for (const Op& op : ops) {
    switch (op.kind) {
      case Op::kFill:
        paint(QRect(op.x1, op.y1, op.x2 - op.x1, op.y2 - op.y1), Rgb(clRed), -1);
        break;
      case Op::kTick:
      case Op::kRedTick:
        paint(QRect(op.x1, op.y1, op.x2 - op.x1, 1), Rgb(op.kind == Op::kTick ? scale : clRed), -1);
        break;
      case Op::kLabel: {
        const QString t = QString::fromStdString(op.text);
        paint(QRect(op.x1, op.y1, fm.horizontalAdvance(t), fm.height()), Rgb(clBlack),
              int(e.labels.size()));
        e.labels.push_back(op);
        break;
      }
    }
  }
  return e;
}

// The text alone, rendered on black into a cell of its own size.
QImage RenderText(const QString& text, const QFont& font, TColor colour) {
  const QFontMetrics fm(font);
  QImage img(fm.horizontalAdvance(text), fm.height(), QImage::Format_RGB32);
  img.fill(Rgb(clBlack));
  QPainter p(&img);
  p.setFont(font);
  p.setPen(ToQColor(colour));
  p.drawText(0, fm.ascent(), text);
  return img;
}

// Outside label cells every pixel must match exactly; inside, the pixels must be those of
// the label's own text at the cell's place (the cell is opaque black under the text).
void ExpectPicture(const QImage& actual, const std::vector<Op>& ops, const QFont& font,
                   TColor scale = clCream) {
  ASSERT_EQ(actual.format(), QImage::Format_RGB32);
  const int w = actual.width(), h = actual.height();
  const Expected e = BuildExpected(w, h, ops, font, scale);
  std::vector<QImage> texts;
  std::vector<int> textPixels(e.labels.size(), 0);
  for (const Op& l : e.labels)
    texts.push_back(RenderText(QString::fromStdString(l.text), font, scale));

  int mismatches = 0;
  for (int y = 0; y < h && mismatches < 10; ++y)
    for (int x = 0; x < w && mismatches < 10; ++x) {
      const QRgb got = actual.pixel(x, y);
      const int label = e.owner[size_t(y) * w + x];
      QRgb want = e.image.pixel(x, y);
      std::string where = "outside labels";
      if (label >= 0) {
        const Op& l = e.labels[size_t(label)];
        want = texts[size_t(label)].pixel(x - l.x1, y - l.y1);
        where = "in label \"" + l.text + "\"";
        if (got == Rgb(scale)) ++textPixels[size_t(label)];
      }
      if (got != want) {
        ++mismatches;
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") " << where << ": got " << std::hex << got
                      << ", want " << want;
      }
    }
  // A label whose visible part shows no text pixel at all would pass the comparison above
  // if the text were missing from the reference too; make sure text really is there.
  for (size_t i = 0; i < e.labels.size(); ++i) {
    const Op& l = e.labels[i];
    const QRect visible =
        QRect(l.x1, l.y1, texts[i].width(), texts[i].height()).intersected(QRect(0, 0, w, h));
    if (visible.height() >= texts[i].height() && visible.width() >= texts[i].width()) {
      EXPECT_GT(textPixels[i], 0) << "label \"" << l.text << "\" shows no text";
    }
  }
}

struct ScaleCase {
  const char* name;
  DrawFn draw;
  int w, h;
  std::vector<Op> ops;  // after the black fill of the whole picture
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const ScaleCase& c, std::ostream* os) {
  *os << c.name;
}

// Nordic N9, 425 high: s = 23, t = 22; overload zone x 10..25, y 10..47.
ScaleCase Nordic425() {
  return {
      "Nordic425",
      DrawNordicScale,
      36,
      425,
      {Fill(10, 10, 26, 48),   Tick(0, 36, 10),       Tick(10, 26, 26),      Tick(0, 36, 47),
       Tick(10, 26, 72),       Tick(0, 36, 93),       Tick(10, 26, 118),     Tick(0, 36, 139),
       Label(10, 132, " -6 "), Tick(10, 26, 167),     Tick(0, 36, 189),      Label(8, 182, " -12"),
       Tick(10, 26, 211),      Tick(0, 36, 233),      Label(8, 226, " -18"), Tick(10, 26, 255),
       Tick(0, 36, 277),       Label(8, 270, " -24"), Tick(10, 26, 299),     Tick(0, 36, 321),
       Label(8, 314, " -30"),  Tick(10, 26, 343),     Tick(0, 36, 365),      Label(8, 358, " -36"),
       Tick(10, 26, 387),      Tick(0, 36, 409),      Label(8, 402, " -42"), Label(9, 0, "+12 "),
       Label(11, 40, "+6 "),   Label(8, 86, "Test ")}};
}

// Nordic N9, 660 high: s = 36, t = 34; zone bottom 660 div 8 - 5 = 77.
ScaleCase Nordic660() {
  return {
      "Nordic660",
      DrawNordicScale,
      37,
      660,
      {Fill(10, 10, 27, 77),   Tick(0, 37, 10),       Tick(10, 27, 39),      Tick(0, 37, 73),
       Tick(10, 27, 111),      Tick(0, 37, 145),      Tick(10, 27, 183),     Tick(0, 37, 217),
       Label(10, 210, " -6 "), Tick(10, 27, 257),     Tick(0, 37, 291),      Label(8, 284, " -12"),
       Tick(10, 27, 325),      Tick(0, 37, 359),      Label(8, 352, " -18"), Tick(10, 27, 393),
       Tick(0, 37, 427),       Label(8, 420, " -24"), Tick(10, 27, 461),     Tick(0, 37, 495),
       Label(8, 488, " -30"),  Tick(10, 27, 529),     Tick(0, 37, 563),      Label(8, 556, " -36"),
       Tick(10, 27, 597),      Tick(0, 37, 631),      Label(8, 624, " -42"), Label(9, 0, "+12 "),
       Label(11, 66, "+6 "),   Label(8, 138, "Test ")}};
}

// EBU, 425 high: y0 = 11, s = 25; ticks 3..20.
ScaleCase Ebu425() {
  return {"Ebu425",
          DrawEbuScale,
          36,
          425,
          {Tick(3, 21, 56), Label(13, 49, "+ 12"), Tick(3, 21, 106), Label(13, 99, "+ 8"),
           Tick(3, 21, 156), Label(13, 149, "+ 4"), Tick(3, 21, 206), Label(13, 199, " 0"),
           Tick(3, 21, 256), Label(13, 249, " -4"), Tick(3, 21, 306), Label(13, 299, " -8"),
           Tick(3, 21, 356), Label(13, 349, " -12"), Tick(3, 21, 406)}};
}

// EBU, 660 high: y0 = 18, s = 38; ticks 3..21.
ScaleCase Ebu660() {
  return {"Ebu660",
          DrawEbuScale,
          37,
          660,
          {Tick(3, 22, 89), Label(13, 82, "+ 12"), Tick(3, 22, 165), Label(13, 158, "+ 8"),
           Tick(3, 22, 241), Label(13, 234, "+ 4"), Tick(3, 22, 317), Label(13, 310, " 0"),
           Tick(3, 22, 393), Label(13, 386, " -4"), Tick(3, 22, 469), Label(13, 462, " -8"),
           Tick(3, 22, 545), Label(13, 538, " -12"), Tick(3, 22, 621)}};
}

// BBC, 425 high: y0 = 11, s1 = 30, s2 = 28; short ticks 3..10, long 3..23. The " 7" cell
// starts at y = -2 and the ticks from 439 on lie below the picture.
ScaleCase Bbc425() {
  return {
      "Bbc425", DrawBbcScale, 36, 425, {Tick(3, 21, 3),   Label(20, -2, " 7"),  Tick(3, 11, 29),
                                        Tick(3, 24, 59),  Label(20, 56, " 6"),  Tick(3, 11, 89),
                                        Tick(3, 24, 119), Label(20, 116, " 5"), Tick(3, 11, 159),
                                        Tick(3, 24, 187), Label(20, 182, " 4"), Tick(3, 11, 215),
                                        Tick(3, 24, 243), Label(20, 238, " 3"), Tick(3, 11, 271),
                                        Tick(3, 24, 299), Label(20, 294, " 2"), Tick(3, 11, 327),
                                        Tick(3, 24, 355), Label(20, 350, " 1"), Tick(3, 11, 383),
                                        Tick(3, 24, 411), Tick(3, 11, 439),     Tick(3, 24, 467),
                                        Tick(3, 11, 495), Tick(3, 24, 523)}};
}

// BBC, 660 high: y0 = 18, s1 = 47, s2 = 44; short ticks 3..11, long 3..24; from k = 11
// (y = 690) on everything is clipped.
ScaleCase Bbc660() {
  return {
      "Bbc660", DrawBbcScale, 37, 660, {Tick(3, 22, 10),  Label(20, 5, " 7"),   Tick(3, 12, 53),
                                        Tick(3, 25, 100), Label(20, 97, " 6"),  Tick(3, 12, 147),
                                        Tick(3, 25, 194), Label(20, 191, " 5"), Tick(3, 12, 250),
                                        Tick(3, 25, 294), Label(20, 289, " 4"), Tick(3, 12, 338),
                                        Tick(3, 25, 382), Label(20, 377, " 3"), Tick(3, 12, 426),
                                        Tick(3, 25, 470), Label(20, 465, " 2"), Tick(3, 12, 514),
                                        Tick(3, 25, 558), Label(20, 553, " 1"), Tick(3, 12, 602),
                                        Tick(3, 25, 646)}};
}

// DIN 45406, 425 high: short ticks 3..20, long 3..23; zone x 3..15, y 10..69.
ScaleCase Din425() {
  return {
      "Din425",
      DrawDinScale,
      36,
      425,
      {Fill(3, 10, 16, 70), Label(24, 5, "+5"),     Tick(3, 24, 10),       Tick(3, 21, 19),
       Tick(3, 21, 32),     Tick(3, 21, 43),        Tick(3, 21, 51),       Tick(3, 24, 72),
       Label(24, 63, " 0"), Tick(3, 21, 81),        Tick(3, 21, 93),       Tick(3, 21, 106),
       Tick(3, 21, 118),    Tick(3, 24, 131),       Label(20, 124, " -5"), Tick(3, 21, 145),
       Tick(3, 21, 157),    Tick(3, 21, 169),       RedTick(3, 21, 181),   RedTick(3, 21, 272),
       Tick(3, 21, 201),    Label(16, 186, " -10"), Tick(3, 21, 232),      Label(16, 225, " -15"),
       Tick(3, 21, 264),    Label(16, 267, " -20"), Tick(3, 21, 293),      Label(16, 286, " -25"),
       Tick(3, 21, 327),    Label(16, 310, " -30"), Tick(3, 21, 379),      Label(16, 372, " -40"),
       Tick(3, 21, 421),    Label(16, 413, " -50")}};
}

// Digital PPM, 425 high: the DIN tick heights without row 16, all ticks in the scale
// colour, labels 5 dB lower.
ScaleCase Digital425() {
  return {"Digital425",
          DrawDigitalScale,
          36,
          425,
          {Tick(3, 24, 10),  Label(18, 5, " 0"),     Tick(3, 21, 19),  Tick(3, 21, 32),
           Tick(3, 21, 43),  Tick(3, 21, 51),        Tick(3, 24, 72),  Label(18, 63, " -5"),
           Tick(3, 21, 81),  Tick(3, 21, 93),        Tick(3, 21, 106), Tick(3, 21, 118),
           Tick(3, 24, 131), Label(14, 124, " -10"), Tick(3, 21, 145), Tick(3, 21, 157),
           Tick(3, 21, 169), Tick(3, 21, 181),       Tick(3, 21, 201), Label(14, 186, " -15"),
           Tick(3, 21, 232), Label(14, 225, " -20"), Tick(3, 21, 264), Label(14, 267, " -25"),
           Tick(3, 21, 293), Label(14, 286, " -30"), Tick(3, 21, 327), Label(14, 310, " -35"),
           Tick(3, 21, 379), Label(14, 372, " -45"), Tick(3, 21, 421), Label(14, 413, " -55")}};
}

// DIN 45406, 660 high: short ticks 3..21, long 3..24; zone x 3..16, y 10..109; the last
// tick (y = 660) falls just below the picture.
ScaleCase Din660() {
  return {
      "Din660",
      DrawDinScale,
      37,
      660,
      {Fill(3, 10, 17, 110), Label(24, 5, "+5"),     Tick(3, 25, 10),       Tick(3, 22, 29),
       Tick(3, 22, 49),      Tick(3, 22, 67),        Tick(3, 22, 86),       Tick(3, 25, 110),
       Label(24, 103, " 0"), Tick(3, 22, 128),       Tick(3, 22, 147),      Tick(3, 22, 167),
       Tick(3, 22, 186),     Tick(3, 25, 206),       Label(20, 199, " -5"), Tick(3, 22, 227),
       Tick(3, 22, 246),     Tick(3, 22, 265),       RedTick(3, 22, 284),   RedTick(3, 22, 431),
       Tick(3, 22, 304),     Label(16, 297, " -10"), Tick(3, 22, 369),      Label(16, 362, " -15"),
       Tick(3, 22, 421),     Label(16, 414, " -20"), Tick(3, 22, 470),      Label(16, 463, " -25"),
       Tick(3, 22, 514),     Label(16, 507, " -30"), Tick(3, 22, 594),      Label(16, 587, " -40"),
       Tick(3, 22, 660),     Label(16, 652, " -50")}};
}

ScaleCase Digital660() {
  return {"Digital660",
          DrawDigitalScale,
          37,
          660,
          {Tick(3, 25, 10),  Label(18, 5, " 0"),     Tick(3, 22, 29),  Tick(3, 22, 49),
           Tick(3, 22, 67),  Tick(3, 22, 86),        Tick(3, 25, 110), Label(18, 103, " -5"),
           Tick(3, 22, 128), Tick(3, 22, 147),       Tick(3, 22, 167), Tick(3, 22, 186),
           Tick(3, 25, 206), Label(14, 199, " -10"), Tick(3, 22, 227), Tick(3, 22, 246),
           Tick(3, 22, 265), Tick(3, 22, 284),       Tick(3, 22, 304), Label(14, 297, " -15"),
           Tick(3, 22, 369), Label(14, 362, " -20"), Tick(3, 22, 421), Label(14, 414, " -25"),
           Tick(3, 22, 470), Label(14, 463, " -30"), Tick(3, 22, 514), Label(14, 507, " -35"),
           Tick(3, 22, 594), Label(14, 587, " -45"), Tick(3, 22, 660), Label(14, 652, " -55")}};
}

// A picture filled with a colour none of the drawings use, so a missed pixel shows.
QImage Dirty(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(qRgb(0x12, 0x34, 0x56));
  return img;
}

class ScalePictureTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScalePictureTest, TicksZonesAndLabelsSitAtTheirRows) {
  const ScaleCase& c = GetParam();
  const QFont font = TImageControl::DefaultFont();
  QImage img = Dirty(c.w, c.h);
  c.draw(img, font);
  ExpectPicture(img, c.ops, font);
}

// The colour is read at every drawing: another scale colour shows in ticks and labels.
TEST_P(ScalePictureTest, TicksAndLabelsUseTheCurrentScaleColor) {
  const ScaleCase& c = GetParam();
  const QFont font = TImageControl::DefaultFont();
  QImage img = Dirty(c.w, c.h);
  SetScaleColor(clAqua);
  c.draw(img, font);
  SetScaleColor(clCream);
  ExpectPicture(img, c.ops, font, clAqua);
}

// Each drawing replaces the whole picture, so the previous standard leaves no trace.
TEST_P(ScalePictureTest, RedrawingOverAnotherStandardShowsOnlyTheNewOne) {
  const ScaleCase& c = GetParam();
  const QFont font = TImageControl::DefaultFont();
  QImage fresh = Dirty(c.w, c.h);
  c.draw(fresh, font);
  for (DrawFn before : kAllStandards) {
    QImage img = Dirty(c.w, c.h);
    before(img, font);
    PaintScaleAlarm(img);
    c.draw(img, font);
    EXPECT_EQ(img, fresh);
  }
}

INSTANTIATE_TEST_SUITE_P(WorkedSizes, ScalePictureTest,
                         ::testing::Values(Nordic425(), Nordic660(), Ebu425(), Ebu660(), Bbc425(),
                                           Bbc660(), Din425(), Din660(), Digital425(),
                                           Digital660()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScaleColorTest, DefaultsToCream) {
  EXPECT_EQ(ScaleColor(), TColor(0xF0FBFF));
  EXPECT_EQ(ToQColor(ScaleColor()).rgb(), qRgb(0xFF, 0xFB, 0xF0));
}

TEST(ScaleAlarmTest, FloodsEverythingBelowTheTopFiveRowsRed) {
  const QFont font = TImageControl::DefaultFont();
  QImage img = Dirty(36, 425);
  DrawNordicScale(img, font);
  const QImage before = img;
  PaintScaleAlarm(img);
  for (int y = 0; y < 425; ++y)
    for (int x = 0; x < 36; ++x) {
      const QRgb want = y < 5 ? before.pixel(x, y) : Rgb(clRed);
      ASSERT_EQ(img.pixel(x, y), want) << "at (" << x << ", " << y << ")";
    }
}

TEST(ScaleAlarmTest, PaintsNothingOnPicturesFiveRowsHighOrLess) {
  for (int h : {1, 4, 5}) {
    QImage img = Dirty(37, h);
    const QImage before = img;
    PaintScaleAlarm(img);
    EXPECT_EQ(img, before) << "height " << h;
  }
  QImage six = Dirty(3, 6);
  PaintScaleAlarm(six);
  for (int x = 0; x < 3; ++x) {
    EXPECT_EQ(six.pixel(x, 4), Dirty(1, 1).pixel(0, 0));
    EXPECT_EQ(six.pixel(x, 5), Rgb(clRed));
  }
}

// Pictures far smaller than the marks: everything outside is clipped, nothing fails, and
// only the three drawing colours appear (no blended pixels from antialiasing).
TEST(ScaleClippingTest, TinyAndEmptyPicturesDrawWithoutError) {
  const QFont font = TImageControl::DefaultFont();
  const QSize sizes[] = {{5, 5}, {1, 1}, {37, 3}, {2, 425}, {37, 0}, {0, 425}, {0, 0}};
  for (QSize s : sizes)
    for (DrawFn draw : kAllStandards) {
      QImage img = s.isEmpty() ? QImage() : Dirty(s.width(), s.height());
      draw(img, font);
      PaintScaleAlarm(img);
      draw(img, font);
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
          const QRgb p = img.pixel(x, y);
          ASSERT_TRUE(p == Rgb(clBlack) || p == Rgb(clRed) || p == Rgb(clCream))
              << s.width() << "x" << s.height() << " at (" << x << ", " << y << ")";
        }
    }
}

// On a 5 x 5 picture the Nordic steps collapse to y = 4 (H div 18 = 0): the full tick lands
// on row 1 and the short tick from 10 to W - 10 = -5 on row 3, running leftwards over the
// whole width; the labels all start right of or above the picture.
TEST(ScaleClippingTest, NordicOnFiveByFiveKeepsOnlyTwoRows) {
  QImage img = Dirty(5, 5);
  DrawNordicScale(img, TImageControl::DefaultFont());
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(img.pixel(x, y), Rgb(y == 1 || y == 3 ? clCream : clBlack))
          << "at (" << x << ", " << y << ")";
}

// The control overloads draw into the control's own bitmap at its current size.
TEST(ScaleOnControlTest, DrawsIntoTheControlPictureAtItsSize) {
  TImageControl image(QStringLiteral("ima_nordic1"), nullptr);
  image.resize(36, 425);
  DrawEbuScale(image);
  ASSERT_EQ(image.Picture().size(), QSize(36, 425));
  ExpectPicture(image.Picture(), Ebu425().ops, image.Font());

  image.resize(37, 660);
  DrawBbcScale(image);
  ExpectPicture(image.Picture(), Bbc660().ops, image.Font());

  PaintScaleAlarm(image);
  EXPECT_EQ(image.Picture().pixel(0, 5), Rgb(clRed));

  image.resize(37, 0);
  DrawNordicScale(image);
  PaintScaleAlarm(image);
  EXPECT_TRUE(image.Picture().isNull());
}

}  // namespace
}  // namespace ostrel
