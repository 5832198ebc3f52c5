#include "platform/ImageControl.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <utility>

namespace ostrel {

TImageControl::TImageControl(QWidget* parent) : QWidget(parent), font_(DefaultFont()) {
  // Every pixel comes from the bitmap, so Qt need not clear the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TImageControl::TImageControl(const QString& name, QWidget* parent) : TImageControl(parent) {
  setObjectName(name);
}

QImage& TImageControl::Picture() {
  // A hidden control gets its resize event only when shown; the size itself is current.
  SyncSize();
  return picture_;
}

void TImageControl::SyncSize() {
  const QSize want(std::max(width(), 0), std::max(height(), 0));
  if (picture_.size() == want) return;
  if (want.isEmpty()) {
    picture_ = QImage();
    return;
  }
  QImage next(want, QImage::Format_RGB32);
  next.fill(Qt::black);
  const int rows = std::min(picture_.height(), want.height());
  const int bytes = std::min(picture_.width(), want.width()) * 4;
  for (int y = 0; y < rows; ++y)
    std::memcpy(next.scanLine(y), picture_.constScanLine(y), static_cast<size_t>(bytes));
  picture_ = std::move(next);
}

void TImageControl::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QImage& pic = Picture();
  if (!pic.isNull()) p.drawImage(0, 0, pic);
}

void TImageControl::resizeEvent(QResizeEvent*) {
  SyncSize();
}

QFont TImageControl::DefaultFont() {
  static const QFont font = [] {
    QFont f;
    // The label positions were laid out for a narrow 8-point interface face: the condensed
    // cut keeps labels such as "+ 12" inside a 37-pixel picture, the plain cut and the
    // generic sans face stand in where it is missing.
    f.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    // Crisp one-colour glyphs, like the bitmap interface fonts of that size; blended edges
    // smear on pictures this narrow.
    f.setStyleStrategy(QFont::NoAntialias);
    // Largest size whose text cell still fits the 13 pixels the label positions assume.
    for (int px = 14; px > 6; --px) {
      f.setPixelSize(px);
      if (QFontMetrics(f).height() <= 13) break;
    }
    return f;
  }();
  return font;
}

}  // namespace ostrel
