#include "platform/MMGraphicControl.h"

#include <QPaintEvent>
#include <QPainter>

namespace ostrel {

int TMMBevel::TotalWidth() const {
  int w = borderWidth_ + borderSpace_;
  if (bevelOuter_ != bvNone) w += bevelOuterWidth_;
  if (bevelInner_ != bvNone) w += bevelInnerWidth_;
  if (borderStyle_ != bsNone) w += 1;
  return w;
}

namespace {
// One bevel ring of `width` pixels: light top-left and dark bottom-right for a raised cut,
// the reverse for a lowered one, plain for a space.
QRect PaintCut(QPainter& p, QRect r, TBevelCut cut, int width, QColor light, QColor dark,
               QColor space) {
  for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
    QColor tl = cut == bvRaised ? light : cut == bvLowered ? dark : space;
    QColor br = cut == bvRaised ? dark : cut == bvLowered ? light : space;
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), tl);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), tl);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), br);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), br);
    r.adjust(1, 1, -1, -1);
  }
  return r;
}
}  // namespace

QRect TMMBevel::PaintBevel(QPainter& p, const QRect& rect) const {
  QRect r = rect;
  const QColor light = ToQColor(highlightColor_), dark = ToQColor(shadowColor_);
  if (borderStyle_ != bsNone) r = PaintCut(p, r, bvSpace, 1, light, dark, ToQColor(borderColor_));
  r = PaintCut(p, r, bvSpace, borderWidth_, light, dark, ToQColor(borderColor_));
  if (bevelOuter_ != bvNone)
    r = PaintCut(p, r, bevelOuter_, bevelOuterWidth_, light, dark, ToQColor(borderSpaceColor_));
  r = PaintCut(p, r, bvSpace, borderSpace_, light, dark, ToQColor(borderSpaceColor_));
  if (bevelInner_ != bvNone)
    r = PaintCut(p, r, bevelInner_, bevelInnerWidth_, light, dark, ToQColor(borderSpaceColor_));
  return r;
}

TMMGraphicControl::TMMGraphicControl(QWidget* parent)
    : QWidget(parent), bevel_(new TMMBevel(this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  connect(bevel_, &TMMBevel::Changed, this, [this] {
    BoundsChanged();
    update();
  });
}

void TMMGraphicControl::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  ColorChanged();
  update();
}

void TMMGraphicControl::SetBounds(int left, int top, int width, int height) {
  setGeometry(left, top, std::max(width, 0), std::max(height, 0));
  CheckBounds();
}

void TMMGraphicControl::CheckBounds() {
  if (size() == boundsSize_) return;
  boundsSize_ = size();
  BoundsChanged();
}

QRect TMMGraphicControl::BevelInnerRect() const {
  const int b = bevel_->TotalWidth();
  return rect().adjusted(b, b, -b, -b);
}

void TMMGraphicControl::Paint(QPainter& p) {
  const QRect inner = bevel_->PaintBevel(p, rect());
  p.fillRect(inner, ToQColor(color_));
}

void TMMGraphicControl::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Paint(p);
}

void TMMGraphicControl::resizeEvent(QResizeEvent*) {
  CheckBounds();
}

}  // namespace ostrel
