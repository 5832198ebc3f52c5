#pragma once
// Off-screen pixel surface of the meter-style controls, 8 or 24 bits per pixel.
//
// 24-bit surfaces hold RGB bytes. 8-bit surfaces hold palette indices; the palette is
// built from the colours drawn, in order of first use, so up to 256 distinct colours
// are exact and any further colour takes the nearest palette entry, as on an 8-bit
// display. Copying a whole surface also takes over its palette.
//
// Drawing happens between BeginDraw and EndDraw (or inside a TMMDIBDrawScope), which hold
// one lock shared by every surface in the process.

#include <QImage>
#include <QList>
#include <QRect>

#include <cstdint>

#include "platform/MMGraphicControl.h"

class QPainter;

namespace ostrel {

class TMMDIBCanvas {
 public:
  explicit TMMDIBCanvas(int bitCount = 8);

  int BitCount() const { return bitCount_; }
  // 8 or 24; anything else raises EMMDIBError "Bitlength not supported yet" and keeps the
  // depth. A new depth clears the pixels to black.
  void SetBitCount(int bits);
  static bool BitCountSupported(int bits) { return bits == 8 || bits == 24; }

  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  // At least 1 x 1. A new size clears the pixels to black.
  void SetSize(int width, int height);

  void BeginDraw();
  void EndDraw();

  // The colour of the following fills.
  void SetColor(TColor color);
  void Fill();
  // Both clip to the surface. Dotted fills paint only the pixels whose column and row
  // offsets from the rectangle's own top-left pixel are both even.
  void FillRect(const QRect& r);
  void DottedFillRect(const QRect& r);
  // Copies every pixel of a surface of the same size and depth.
  void CopyFrom(const TMMDIBCanvas& source);
  // Copies the pixels of `r` (clipped) from a surface of the same size and depth.
  void CopyRect(const TMMDIBCanvas& source, const QRect& r);
  // Draws the surface onto a device at `target`.
  void Draw(QPainter& p, const QRect& target) const;

  TColor PixelColor(int x, int y) const;
  // The pixels as they stand (indexed with its colour table for 8 bits, RGB888 for 24).
  const QImage& Image() const { return image_; }

 private:
  void Reset();
  std::uint8_t PaletteIndex(TColor color);
  void FillSpan(std::uint8_t* row, int x, int count) const;

  int bitCount_;
  QImage image_;
  QList<QRgb> palette_;       // 8 bits: our copy of the image's colour table (reading the
                              // image's own table copies it, far too slow per spot)
  std::uint8_t index_ = 0;    // current colour as a palette index (8 bits)
  std::uint8_t rgb_[3] = {};  // current colour as bytes (24 bits)
};

// Holds the process-wide drawing lock on a surface for one scope.
class TMMDIBDrawScope {
 public:
  explicit TMMDIBDrawScope(TMMDIBCanvas& canvas) : canvas_(canvas) { canvas_.BeginDraw(); }
  ~TMMDIBDrawScope() { canvas_.EndDraw(); }
  TMMDIBDrawScope(const TMMDIBDrawScope&) = delete;
  TMMDIBDrawScope& operator=(const TMMDIBDrawScope&) = delete;

 private:
  TMMDIBCanvas& canvas_;
};

}  // namespace ostrel
