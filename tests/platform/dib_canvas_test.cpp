// The off-screen pixel surface: depths, clipped and dotted fills, copies, palette.
#include <gtest/gtest.h>

#include <QPainter>

#include "platform/MMDIBCanvas.h"
#include "platform/MMDIBGraphicControl.h"
#include "platform/MMError.h"

namespace ostrel {
namespace {

class DibDepth : public ::testing::TestWithParam<int> {};

TEST_P(DibDepth, FillsClipToTheSurface) {
  TMMDIBCanvas c(GetParam());
  c.SetSize(6, 4);
  TMMDIBDrawScope draw(c);
  c.SetColor(clTeal);
  c.Fill();
  c.SetColor(clRed);
  c.FillRect(QRect(4, -2, 10, 4));  // covers columns 4..5, rows 0..1 once clipped
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(c.PixelColor(x, y), x >= 4 && y <= 1 ? clRed : clTeal) << x << "," << y;
  c.FillRect(QRect(-5, -5, 3, 3));  // entirely outside: nothing happens
  EXPECT_EQ(c.PixelColor(0, 0), clTeal);
}

TEST_P(DibDepth, DottedFillPaintsEvenOffsetsFromTheRectanglesOwnCorner) {
  TMMDIBCanvas c(GetParam());
  c.SetSize(7, 5);
  c.SetColor(clBlack);
  c.Fill();
  c.SetColor(clYellow);
  c.DottedFillRect(QRect(1, 1, 5, 3));
  c.SetColor(clLime);
  c.DottedFillRect(QRect(-1, -1, 3, 3));  // clipped: the grid stays at (-1,-1)
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      TColor want = clBlack;
      if (x >= 1 && x <= 5 && y >= 1 && y <= 3 && (x - 1) % 2 == 0 && (y - 1) % 2 == 0)
        want = clYellow;
      if (x == 1 && y == 1) want = clLime;
      EXPECT_EQ(c.PixelColor(x, y), want) << x << "," << y;
    }
}

TEST_P(DibDepth, CopiesWholeSurfacesAndSingleRectangles) {
  TMMDIBCanvas back(GetParam()), live(GetParam());
  back.SetSize(4, 4);
  live.SetSize(4, 4);
  back.SetColor(clMaroon);
  back.Fill();
  live.CopyFrom(back);
  live.SetColor(clAqua);
  live.Fill();
  live.CopyRect(back, QRect(1, 1, 2, 2));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(live.PixelColor(x, y),
                (x == 1 || x == 2) && (y == 1 || y == 2) ? clMaroon : clAqua);
  TMMDIBCanvas other(GetParam());
  other.SetSize(3, 4);
  EXPECT_THROW(live.CopyFrom(other), EMMDIBError);
}

TEST_P(DibDepth, DrawsOntoADeviceWithItsOwnColours) {
  TMMDIBCanvas c(GetParam());
  c.SetSize(2, 1);
  c.SetColor(clCream);
  c.FillRect(QRect(0, 0, 1, 1));
  c.SetColor(clNavy);
  c.FillRect(QRect(1, 0, 1, 1));
  QImage screen(4, 3, QImage::Format_RGB32);
  screen.fill(Qt::white);
  QPainter p(&screen);
  c.Draw(p, QRect(1, 1, 2, 1));
  p.end();
  EXPECT_EQ(FromQColor(screen.pixelColor(1, 1)), clCream);
  EXPECT_EQ(FromQColor(screen.pixelColor(2, 1)), clNavy);
  EXPECT_EQ(FromQColor(screen.pixelColor(0, 1)), clWhite);
}

INSTANTIATE_TEST_SUITE_P(BothDepths, DibDepth, ::testing::Values(8, 24));

TEST(DibCanvas, OnlyEightAndTwentyFourBitsAreSupported) {
  for (int bits : {1, 4, 15, 16, 32}) {
    TMMDIBCanvas c(8);
    try {
      c.SetBitCount(bits);
      ADD_FAILURE() << bits << " bits accepted";
    } catch (const EMMDIBError& e) {
      EXPECT_STREQ(e.what(), "Bitlength not supported yet");
    }
    EXPECT_EQ(c.BitCount(), 8);
  }
  EXPECT_THROW(TMMDIBCanvas(16), EMMDIBError);
  TMMDIBCanvas c(8);
  c.SetBitCount(24);
  EXPECT_EQ(c.BitCount(), 24);
  EXPECT_EQ(c.Image().format(), QImage::Format_RGB888);
}

TEST(DibCanvas, EightBitPaletteIsExactUpTo256ColoursThenNearest) {
  TMMDIBCanvas c(8);
  c.SetSize(257, 1);
  for (int i = 0; i < 256; ++i) {  // black is already the first entry
    c.SetColor(TColor(i) << 8);    // 256 greens, 0x000000 .. 0x00FF00
    c.FillRect(QRect(i, 0, 1, 1));
  }
  for (int i = 0; i < 256; ++i) ASSERT_EQ(c.PixelColor(i, 0), TColor(i) << 8);
  c.SetColor(0x01FE00);  // no room left: nearest entry
  c.FillRect(QRect(256, 0, 1, 1));
  EXPECT_EQ(c.PixelColor(256, 0), TColor(0x00FE00));
}

TEST(DibCanvas, RectangleCopyKeepsColoursWhenPalettesDiffer) {
  TMMDIBCanvas a(8), b(8);
  a.SetSize(2, 1);
  b.SetSize(2, 1);
  a.SetColor(clRed);  // a's palette: black, red, lime; b's: black, lime, red
  a.Fill();
  a.SetColor(clLime);
  a.FillRect(QRect(1, 0, 1, 1));
  b.SetColor(clLime);
  b.SetColor(clRed);
  b.CopyRect(a, QRect(0, 0, 2, 1));
  EXPECT_EQ(b.PixelColor(0, 0), clRed);
  EXPECT_EQ(b.PixelColor(1, 0), clLime);
}

class DepthWatcher : public TMMDIBGraphicControl {
 public:
  int changes = 0;

 protected:
  void DIBBitCountChanged() override { ++changes; }
};

TEST(DibGraphicControl, DepthChangesOnlyForNewSupportedDepths) {
  DepthWatcher w;
  EXPECT_EQ(w.DIBBitCount(), 8);
  w.SetDIBBitCount(8);
  EXPECT_EQ(w.changes, 0);
  EXPECT_THROW(w.SetDIBBitCount(16), EMMDIBError);
  EXPECT_EQ(w.DIBBitCount(), 8);
  EXPECT_EQ(w.changes, 0);
  w.SetDIBBitCount(24);
  EXPECT_EQ(w.DIBBitCount(), 24);
  EXPECT_EQ(w.changes, 1);
}

}  // namespace
}  // namespace ostrel
