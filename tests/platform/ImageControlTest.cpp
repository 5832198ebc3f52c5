// The picture control: its bitmap follows the control's size, keeps what was drawn on a
// resize, and is shown 1:1.
#include <gtest/gtest.h>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>

#include "platform/ImageControl.h"

namespace ostrel {
namespace {

constexpr QRgb kMark = 0xFF123456;

TEST(ImageControlTest, CarriesItsComponentNameAndStartsEmpty) {
  TImageControl image(QStringLiteral("ima_nordic7"), nullptr);
  EXPECT_EQ(image.objectName(), QStringLiteral("ima_nordic7"));
  image.resize(0, 0);
  EXPECT_TRUE(image.Picture().isNull());
}

TEST(ImageControlTest, PictureIsExactlyAsLargeAsTheControlEvenWhileHidden) {
  TImageControl image;
  ASSERT_FALSE(image.isVisible());
  image.resize(37, 649);
  EXPECT_EQ(image.Picture().size(), QSize(37, 649));
  EXPECT_EQ(image.Picture().format(), QImage::Format_RGB32);
  image.show();
  image.resize(36, 425);
  EXPECT_EQ(image.Picture().size(), QSize(36, 425));
}

// Growing keeps the old content in the top-left corner and fills the new area black;
// shrinking crops to the top-left part.
TEST(ImageControlTest, ResizeKeepsOldContentTopLeftAndBlackensNewArea) {
  TImageControl image;
  image.resize(4, 3);
  image.Picture().fill(kMark);
  image.resize(6, 5);
  const QImage& grown = image.Picture();
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(grown.pixel(x, y), x < 4 && y < 3 ? kMark : qRgb(0, 0, 0))
          << "at (" << x << ", " << y << ")";

  image.resize(2, 7);
  const QImage& reshaped = image.Picture();
  ASSERT_EQ(reshaped.size(), QSize(2, 7));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 2; ++x)
      EXPECT_EQ(reshaped.pixel(x, y), y < 3 ? kMark : qRgb(0, 0, 0))
          << "at (" << x << ", " << y << ")";
}

TEST(ImageControlTest, ShowsItsPictureOneToOne) {
  TImageControl image;
  image.resize(7, 9);
  QImage& pic = image.Picture();
  pic.fill(Qt::black);
  pic.setPixel(0, 0, kMark);
  pic.setPixel(6, 8, qRgb(255, 0, 0));
  pic.setPixel(3, 4, qRgb(0, 255, 0));
  image.Invalidate();
  const QImage shown = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(7, 9));
  EXPECT_EQ(shown, pic);
}

// Label positions of the scale pictures assume a text cell about 13 pixels high, and the
// labels must stay narrow enough for a 37-pixel picture.
TEST(ImageControlTest, DefaultFontIsASmallSansWithA13PixelCell) {
  const QFont f = TImageControl::DefaultFont();
  const QFontMetrics fm(f);
  EXPECT_LE(fm.height(), 13);
  EXPECT_GE(fm.height(), 10);
  EXPECT_TRUE(f.styleStrategy() & QFont::NoAntialias);
  TImageControl image;
  EXPECT_EQ(image.Font(), f);
  const QString family = QFontInfo(f).family();
  if (!family.startsWith(QStringLiteral("DejaVu Sans")))
    GTEST_SKIP() << "DejaVu Sans is not installed; got " << family.toStdString();
  EXPECT_EQ(fm.height(), 13);
  // With the condensed cut the widest EBU label, which starts at x = 13, fits the picture.
  if (family == QStringLiteral("DejaVu Sans Condensed")) {
    EXPECT_LE(13 + fm.horizontalAdvance(QStringLiteral("+ 12")), 37);
  }
}

}  // namespace
}  // namespace ostrel
