#include "platform/MMLEDLabel.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "platform/LedFont.h"

namespace ostrel {

namespace {
constexpr int kCellColumns = LedFont::kColumns + 1;  // a blank column between characters
constexpr int kMaxAutoPitch = 16;
constexpr int kMaxDotSize = 32;

// From a pitch of 3 on, a one-pixel gap keeps the dots apart like real LEDs; below that
// the gap would eat half the dot.
int DotExtent(int pitch) {
  return pitch >= 3 ? pitch - 1 : pitch;
}
}  // namespace

TMMLEDLABEL::TMMLEDLABEL(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TMMLEDLABEL::SetCaption(const QString& c) {
  if (caption_ == c) return;
  caption_ = c;
  const QList<uint> ucs4 = c.toUcs4();
  cells_.assign(ucs4.begin(), ucs4.end());
  update();
}

void TMMLEDLABEL::SetLEDColor(TColor c) {
  Set(ledColor_, c);
}
void TMMLEDLABEL::SetInactiveColor(TColor c) {
  Set(inactiveColor_, c);
}
void TMMLEDLABEL::SetColor(TColor c) {
  Set(color_, c);
}
void TMMLEDLABEL::SetAlignment(Qt::Alignment a) {
  Set(alignment_, a);
}
void TMMLEDLABEL::SetDotSize(int v) {
  Set(dotSize_, std::clamp(v, 0, kMaxDotSize));
}

std::int64_t TMMLEDLABEL::TextWidth(int pitch) const {
  if (cells_.empty()) return 0;
  // No blank column after the last character.
  return (std::int64_t(cells_.size()) * kCellColumns - 1) * pitch;
}

QSize TMMLEDLABEL::DotPitch() const {
  if (dotSize_ > 0) return {dotSize_, dotSize_};
  int px = 1;  // captions too long even for single pixels are clipped
  for (int p = kMaxAutoPitch; p > 1; --p) {
    if (TextWidth(p) <= width() && LedFont::kRows * p <= height()) {
      px = p;
      break;
    }
  }
  // A long caption in a tall control gets taller dots rather than a thin line of text;
  // up to twice as tall as wide still reads as an LED display.
  const int py = std::clamp(height() / LedFont::kRows, px, 2 * px);
  return {px, py};
}

QPoint TMMLEDLABEL::Origin(QSize pitch) const {
  const std::int64_t textW = TextWidth(pitch.width());
  const int textH = LedFont::kRows * pitch.height();
  int x = 0;
  // A caption wider than the control keeps its start in view.
  if (textW <= width()) {
    if (alignment_ & Qt::AlignRight)
      x = int(width() - textW);
    else if (alignment_ & Qt::AlignHCenter)
      x = int((width() - textW) / 2);
  }
  int y = 0;
  if (alignment_ & Qt::AlignBottom)
    y = height() - textH;
  else if (alignment_ & Qt::AlignVCenter)
    y = (height() - textH) / 2;
  return {x, y};
}

QRect TMMLEDLABEL::DotRect(int cell, int column, int row) const {
  const QSize p = DotPitch();
  const QPoint o = Origin(p);
  return QRect(o.x() + (cell * kCellColumns + column) * p.width(), o.y() + row * p.height(),
               DotExtent(p.width()), DotExtent(p.height()));
}

void TMMLEDLABEL::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(color_));
  if (cells_.empty()) return;
  const QColor lit = ToQColor(ledColor_), unlit = ToQColor(inactiveColor_);
  for (int i = 0; i < int(cells_.size()); ++i) {
    if (DotRect(i, 0, 0).left() >= width()) break;  // the rest is clipped anyway
    const LedFont::Glyph g = LedFont::GlyphFor(cells_[std::size_t(i)]);
    for (int row = 0; row < LedFont::kRows; ++row)
      for (int col = 0; col < LedFont::kColumns; ++col)
        painter.fillRect(DotRect(i, col, row), LedFont::IsLit(g, col, row) ? lit : unlit);
  }
}

void TMMLEDLABEL::mouseDoubleClickEvent(QMouseEvent* e) {
  e->accept();
  emit DblClick();
}

}  // namespace ostrel
