#include "platform/MMDIBCanvas.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/MMError.h"

namespace ostrel {

namespace {
// One lock for all surfaces: only one surface is drawn at a time in the process.
// Recursive, so that a drawing handler may draw on another surface meanwhile.
std::recursive_mutex& DrawLock() {
  static std::recursive_mutex lock;
  return lock;
}

QRgb ToRgb(TColor c) {
  return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int Distance(QRgb a, QRgb b) {
  const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
  return dr * dr + dg * dg + db * db;
}
}  // namespace

TMMDIBCanvas::TMMDIBCanvas(int bitCount) : bitCount_(bitCount) {
  if (!BitCountSupported(bitCount)) throw EMMDIBError("Bitlength not supported yet");
  image_ = QImage(1, 1, QImage::Format_RGB888);
  Reset();
}

void TMMDIBCanvas::SetBitCount(int bits) {
  if (!BitCountSupported(bits)) throw EMMDIBError("Bitlength not supported yet");
  if (bits == bitCount_) return;
  bitCount_ = bits;
  Reset();
}

void TMMDIBCanvas::SetSize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width == Width() && height == Height()) return;
  image_ = QImage(width, height, image_.format());
  Reset();
}

void TMMDIBCanvas::Reset() {
  const QSize size = image_.size();
  if (bitCount_ == 8) {
    image_ = QImage(size, QImage::Format_Indexed8);
    palette_ = {qRgb(0, 0, 0)};
    image_.setColorTable(palette_);
    image_.fill(0u);
  } else {
    image_ = QImage(size, QImage::Format_RGB888);
    image_.fill(Qt::black);
    palette_.clear();
  }
  SetColor(clBlack);
}

void TMMDIBCanvas::BeginDraw() {
  DrawLock().lock();
}
void TMMDIBCanvas::EndDraw() {
  DrawLock().unlock();
}

std::uint8_t TMMDIBCanvas::PaletteIndex(TColor color) {
  const QRgb rgb = ToRgb(color);
  for (int i = 0; i < palette_.size(); ++i)
    if (palette_[i] == rgb) return std::uint8_t(i);
  if (palette_.size() < 256) {
    palette_.append(rgb);
    image_.setColorTable(palette_);
    return std::uint8_t(palette_.size() - 1);
  }
  int best = 0;
  for (int i = 1; i < palette_.size(); ++i)
    if (Distance(palette_[i], rgb) < Distance(palette_[best], rgb)) best = i;
  return std::uint8_t(best);
}

void TMMDIBCanvas::SetColor(TColor color) {
  rgb_[0] = color & 0xFF;
  rgb_[1] = (color >> 8) & 0xFF;
  rgb_[2] = (color >> 16) & 0xFF;
  if (bitCount_ == 8) index_ = PaletteIndex(color);
}

void TMMDIBCanvas::FillSpan(std::uint8_t* row, int x, int count) const {
  if (bitCount_ == 8) {
    std::memset(row + x, index_, count);
    return;
  }
  std::uint8_t* p = row + 3 * x;
  for (int i = 0; i < count; ++i, p += 3) std::memcpy(p, rgb_, 3);
}

void TMMDIBCanvas::Fill() {
  FillRect(image_.rect());
}

void TMMDIBCanvas::FillRect(const QRect& r) {
  const QRect c = r.intersected(image_.rect());
  if (c.isEmpty()) return;
  const int bpp = bitCount_ / 8;
  std::uint8_t* first = image_.scanLine(c.top());
  FillSpan(first, c.left(), c.width());
  for (int y = c.top() + 1; y <= c.bottom(); ++y)
    std::memcpy(image_.scanLine(y) + bpp * c.left(), first + bpp * c.left(), bpp * c.width());
}

void TMMDIBCanvas::DottedFillRect(const QRect& r) {
  const QRect c = r.intersected(image_.rect());
  if (c.isEmpty()) return;
  // The dot grid is anchored at the rectangle's own corner, not at the clipped one.
  const int x0 = c.left() + ((c.left() - r.left()) & 1);
  const int y0 = c.top() + ((c.top() - r.top()) & 1);
  for (int y = y0; y <= c.bottom(); y += 2) {
    std::uint8_t* row = image_.scanLine(y);
    for (int x = x0; x <= c.right(); x += 2) FillSpan(row, x, 1);
  }
}

void TMMDIBCanvas::CopyFrom(const TMMDIBCanvas& source) {
  if (source.bitCount_ != bitCount_ || source.image_.size() != image_.size())
    throw EMMDIBError("Surfaces differ in size or depth");
  if (bitCount_ == 8 && palette_ != source.palette_) {
    palette_ = source.palette_;
    image_.setColorTable(palette_);
  }
  const qsizetype bytes = image_.sizeInBytes();
  std::memcpy(image_.bits(), source.image_.constBits(), bytes);
  // The current colour stays the same colour under the palette just taken over.
  if (bitCount_ == 8)
    index_ = PaletteIndex(TColor(rgb_[0]) | TColor(rgb_[1]) << 8 | TColor(rgb_[2]) << 16);
}

void TMMDIBCanvas::CopyRect(const TMMDIBCanvas& source, const QRect& r) {
  if (source.bitCount_ != bitCount_ || source.image_.size() != image_.size())
    throw EMMDIBError("Surfaces differ in size or depth");
  const QRect c = r.intersected(image_.rect());
  if (c.isEmpty()) return;
  const int bpp = bitCount_ / 8;
  if (bitCount_ == 8) {
    // Indices agree when the source palette is a prefix of ours (the usual case: this
    // surface was copied from the source and then drew a few more colours).
    const QList<QRgb>& src = source.palette_;
    bool prefix = src.size() <= palette_.size();
    for (int i = 0; prefix && i < src.size(); ++i) prefix = palette_[i] == src[i];
    if (!prefix) {
      const std::uint8_t keep = index_;
      for (int y = c.top(); y <= c.bottom(); ++y) {
        const std::uint8_t* from = source.image_.constScanLine(y);
        for (int x = c.left(); x <= c.right(); ++x) {
          std::uint8_t i = PaletteIndex(FromQColor(QColor(src[from[x]])));
          image_.scanLine(y)[x] = i;
        }
      }
      index_ = keep;
      return;
    }
  }
  for (int y = c.top(); y <= c.bottom(); ++y)
    std::memcpy(image_.scanLine(y) + bpp * c.left(),
                source.image_.constScanLine(y) + bpp * c.left(), bpp * c.width());
}

void TMMDIBCanvas::Draw(QPainter& p, const QRect& target) const {
  p.drawImage(target, image_);
}

TColor TMMDIBCanvas::PixelColor(int x, int y) const {
  return FromQColor(QColor(image_.pixel(x, y)));
}

}  // namespace ostrel
