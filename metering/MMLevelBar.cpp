#include "metering/MMLevelBar.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace ostrel {

QRect LevelBarPainter::SpotRect(int i) const {
  const int step = s_.spotWidth + s_.spotSpace;
  const int offset = s_.spotMargin + (i - 1) * step;
  const bool forward = s_.direction == dirNormal;
  if (s_.kind == lkHorizontal) {
    const int left = forward ? offset : s_.innerWidth - offset - s_.spotWidth;
    return QRect(left, 0, s_.spotWidth, s_.innerHeight);
  }
  // Vertical bars grow upward when normal: spot 1 sits at the bottom.
  const int top = forward ? s_.innerHeight - offset - s_.spotWidth : offset;
  return QRect(0, top, s_.innerWidth, s_.spotWidth);
}

TColor LevelBarPainter::ZoneColor(int i) const {
  if (i > s_.zone2Spot) return s_.colors[2];
  if (i > s_.zone1Spot) return s_.colors[1];
  return s_.colors[0];
}

void LevelBarPainter::PaintSpot(TMMDIBCanvas& canvas, int at, int zoneOf) const {
  canvas.SetColor(ZoneColor(zoneOf));
  if (s_.dotted)
    canvas.DottedFillRect(SpotRect(at));
  else
    canvas.FillRect(SpotRect(at));
}

void LevelBarPainter::DrawSpots(TMMDIBCanvas& canvas, int count, bool whole, int peak) const {
  int next;  // the spot after the run or band, where the marker offset counts from
  if (whole || s_.direction != dirSymetric) {
    for (int i = 1; i <= count; ++i) PaintSpot(canvas, i, i);
    next = count + 1;
  } else {
    count = std::clamp(count, 1, std::max(s_.spotCount, 1));
    for (int i = count - 2; i <= count + 2; ++i) PaintSpot(canvas, i, count);
    next = count + 3;
  }
  if (s_.numPeaks > 0 && peak > count) {
    const int first = next + (peak - 1 - count);
    for (int k = 0; k < s_.numPeaks; ++k) PaintSpot(canvas, first - k, peak - k);
  }
}

bool LevelBarComposer::Lit(int spot, const State& st, int numPeaks) {
  if (spot >= 1 && spot <= st.level) return true;
  return numPeaks > 0 && st.peak > st.level && spot <= st.peak && spot > st.peak - numPeaks;
}

QRect LevelBarComposer::Compose(TMMDIBCanvas& live, const TMMDIBCanvas& background,
                                const LevelBarStyle& style, bool enabled, int level, int peak) {
  const State want = enabled ? State{level, peak} : State{};
  const LevelBarPainter painter(style);
  // A symmetric band keeps the zone colour of its centre, so it is always drawn whole.
  if (!valid_ || style.direction == dirSymetric) {
    live.CopyFrom(background);
    if (enabled) painter.DrawSpots(live, level, false, peak);
    valid_ = true;
    shown_ = want;
    return QRect(0, 0, style.innerWidth, style.innerHeight);
  }
  if (want == shown_) return {};

  // In a run every lit spot, marker spots included, shows the colour of its own zone, so
  // only spots that changed between lit and unlit need drawing: those between the old and
  // the new level and those under the old and the new marker.
  const int n = style.numPeaks;
  std::array<std::pair<int, int>, 3> ranges{{
      {std::min(shown_.level, want.level) + 1, std::max(shown_.level, want.level)},
      {shown_.peak - n + 1, shown_.peak},
      {want.peak - n + 1, want.peak},
  }};
  std::sort(ranges.begin(), ranges.end());
  QRect changed;
  int done = INT_MIN;  // ranges overlap; every spot is looked at once
  for (auto [from, to] : ranges) {
    from = std::max(from, done + 1);
    for (int i = from; i <= to;) {
      const bool was = Lit(i, shown_, n), is = Lit(i, want, n);
      if (was == is) {
        ++i;
        continue;
      }
      // Neighbours that change the same way (and, when lit, in the same zone colour) go
      // in one rectangle: the spaces between spots show the background either way.
      const TColor color = painter.ZoneColor(i);
      int last = i;
      while (last < to && Lit(last + 1, shown_, n) == was && Lit(last + 1, want, n) == is &&
             (!is || painter.ZoneColor(last + 1) == color))
        ++last;
      const QRect span = painter.SpotRect(i) | painter.SpotRect(last);
      if (!is) {
        live.CopyRect(background, span);
      } else if (!style.dotted && style.spotSpace == 0) {
        live.SetColor(color);
        live.FillRect(span);
      } else {
        for (int k = i; k <= last; ++k) painter.PaintSpot(live, k, k);
      }
      changed |= span;
      i = last + 1;
    }
    done = std::max(done, to);
  }
  shown_ = want;
  return changed & QRect(0, 0, style.innerWidth, style.innerHeight);
}

}  // namespace ostrel
