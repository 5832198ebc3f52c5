#include "metering/MMScale.h"

#include <QPainter>

#include <cmath>
#include <limits>

#include "metering/ScaleMath.h"

namespace ostrel {

namespace {

int Saturate(std::int64_t v) {
  return int(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                      std::numeric_limits<int>::max()));
}

// Smallest integer >= a / b for b > 0.
std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
  return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

}  // namespace

std::vector<TickLine> TMMCustomScale::TickLines(const LtrbRect& r, int marker) const {
  std::vector<TickLine> out;
  if (r.Width() < 0 || r.Height() < 0) return out;  // an inverted rectangle holds nothing

  const bool horizontal = r.Height() < r.Width();
  const std::int64_t ln = horizontal ? r.Width() : r.Height();
  const std::int64_t count = tickCount_;

  const bool zones = !(color1_ == color2_ && color2_ == color3_) && 0 <= zone1_ &&
                     zone1_ <= zone2_ && zone2_ <= tickCount_ && style_ == stColor;
  float z1pos = 0, z2pos = 0;
  if (zones) {
    z1pos = float(zone1_) / float(tickCount_) * float(ln);
    z2pos = float(zone2_) / float(tickCount_) * float(ln);
  }
  auto colourAt = [&](float pos) {
    if (!zones) return color1_;
    if (pos > z2pos) return color3_;
    if (pos > z1pos) return color2_;
    return color1_;
  };

  // Ticks hang from the bottom (or right) edge for the inner side of the first band and
  // the outer side of the second; a connecting line, when there is one, lies on that edge.
  const bool farEdge = (marker == 1 && origin_ == soInner) || (marker == 0 && origin_ == soOuter);
  const std::int64_t inset = connect_ ? 1 : 0;

  auto addTick = [&](std::int64_t at, std::int64_t len, TColor colour) {
    if (len <= 0) return;
    std::int64_t a1, a2;  // across the band
    if (farEdge) {
      a2 = std::int64_t(horizontal ? r.Bottom : r.Right) - 1 - inset;
      a1 = a2 - len + 1;
    } else {
      a1 = std::int64_t(horizontal ? r.Top : r.Left) + inset;
      a2 = a1 + len - 1;
    }
    if (horizontal)
      out.push_back({Saturate(at), Saturate(a1), Saturate(at), Saturate(a2), colour});
    else
      out.push_back({Saturate(a1), Saturate(at), Saturate(a2), Saturate(at), colour});
  };
  auto tickLength = [&](std::int64_t c) { return c % enlargeEvery_ == 0 ? size_ : size_ / 2; };
  const float step = float(ln) / float(count - 1);
  auto tickAt = [&](std::int64_t c) {
    const float pos = step * float(c);
    const std::int64_t at = horizontal ? std::int64_t(std::trunc(double(r.Left) + pos))
                                       : std::int64_t(RoundHalfEven(double(r.Top) + pos));
    addTick(at, tickLength(c), colourAt(pos));
  };

  if (count - 1 <= ln) {
    for (std::int64_t c = 0; c < count; ++c) tickAt(c);
  } else {
    // More ticks than pixels: they merge into one line per pixel, long when any tick
    // landing there is an enlarged one, in the colour of the last tick drawn there.
    for (std::int64_t i = 0; i <= ln; ++i) {
      std::int64_t c0, c1;
      if (ln == 0) {
        c0 = 0;
        c1 = count - 1;
      } else if (horizontal) {  // pixels are cut toward zero
        c0 = CeilDiv(i * (count - 1), ln);
        c1 = CeilDiv((i + 1) * (count - 1), ln) - 1;
      } else {  // pixels are rounded to the nearest
        c0 = CeilDiv((2 * i - 1) * (count - 1), 2 * ln);
        c1 = CeilDiv((2 * i + 1) * (count - 1), 2 * ln) - 1;
      }
      c0 = std::max<std::int64_t>(c0, 0);
      c1 = std::min<std::int64_t>(c1, count - 1);
      if (c0 > c1) continue;
      const bool enlarged = (c1 / enlargeEvery_) * enlargeEvery_ >= c0;
      const float pos = step * float(c1);
      const std::int64_t at = (horizontal ? r.Left : r.Top) + i;
      addTick(at, enlarged ? size_ : size_ / 2, colourAt(pos));
    }
  }

  if (connect_) {
    // The joining line runs the whole length, split where the zones change.
    const std::int64_t edge =
        farEdge ? std::int64_t(horizontal ? r.Bottom : r.Right) - 1 : (horizontal ? r.Top : r.Left);
    const std::int64_t start = horizontal ? r.Left : r.Top;
    std::int64_t end1 = ln, end2 = ln;  // last offsets of zone 1 and zone 2
    if (zones) {
      end1 = std::clamp<std::int64_t>(std::int64_t(std::floor(z1pos)), -1, ln);
      end2 = std::clamp<std::int64_t>(std::int64_t(std::floor(z2pos)), end1, ln);
    }
    auto segment = [&](std::int64_t from, std::int64_t to, TColor colour) {
      if (from > to) return;
      if (horizontal)
        out.push_back(
            {Saturate(start + from), Saturate(edge), Saturate(start + to), Saturate(edge), colour});
      else
        out.push_back(
            {Saturate(edge), Saturate(start + from), Saturate(edge), Saturate(start + to), colour});
    };
    segment(0, end1, color1_);
    if (zones) {
      segment(end1 + 1, end2, color2_);
      segment(end2 + 1, ln, color3_);
    }
  }
  return out;
}

void TMMCustomScale::DrawTicks(const LtrbRect& r, int marker) {
  if (!canvas_) throw EMMScaleError("Canvas needed for this operation");
  for (const TickLine& l : TickLines(r, marker)) {
    const QRect px(QPoint(std::min(l.X1, l.X2), std::min(l.Y1, l.Y2)),
                   QPoint(std::max(l.X1, l.X2), std::max(l.Y1, l.Y2)));
    canvas_->fillRect(px, ToQColor(l.Color));
  }
}

}  // namespace ostrel
