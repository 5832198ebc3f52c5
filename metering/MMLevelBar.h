#pragma once
// How a level meter's bar looks in pixels: where spot i lies, which zone colour it takes,
// and the drawing of runs, symmetric bands and peak markers into a pixel surface.
// LevelBarComposer keeps a live surface in step with the meter by redrawing only the
// spots whose state changed since the last composition.

#include <QRect>

#include <array>

#include "metering/MMLevelTypes.h"
#include "platform/MMDIBCanvas.h"

namespace ostrel {

// Everything the drawing needs to know about the bar.
struct LevelBarStyle {
  TMMLevelKind kind = lkHorizontal;
  TMMLevelDirection direction = dirNormal;
  int innerWidth = 1, innerHeight = 1;
  int spotWidth = 1, spotSpace = 1;
  int spotCount = 1, spotMargin = 0;
  int zone1Spot = 0, zone2Spot = 0;
  int numPeaks = 1;
  std::array<TColor, 3> colors{};  // zone 1..3
  bool dotted = false;
};

class LevelBarPainter {
 public:
  explicit LevelBarPainter(const LevelBarStyle& style) : s_(style) {}

  // Spot i (any integer; 1 is the first) as a half-open rectangle, possibly off the surface.
  QRect SpotRect(int i) const;
  TColor ZoneColor(int i) const;
  // Paints spot `at` in the colour of the zone of spot `zoneOf`, filled or dotted.
  void PaintSpot(TMMDIBCanvas& canvas, int at, int zoneOf) const;
  // A run of `count` spots from the first (or, for a symmetric bar unless `whole`, a band
  // of five centred on `count`), then the peak marker when `peak` lies beyond the run.
  void DrawSpots(TMMDIBCanvas& canvas, int count, bool whole, int peak) const;

 private:
  const LevelBarStyle& s_;
};

class LevelBarComposer {
 public:
  // The live surface no longer shows what was last composed (new background, size, ...).
  void Invalidate() { valid_ = false; }

  // Brings `live` to `background` with `level` spots lit and the marker at `peak` (only
  // the background when not `enabled`). Returns the changed area, empty when nothing changed.
  QRect Compose(TMMDIBCanvas& live, const TMMDIBCanvas& background, const LevelBarStyle& style,
                bool enabled, int level, int peak);

 private:
  struct State {
    int level = 0, peak = 0;
    bool operator==(const State&) const = default;
  };
  static bool Lit(int spot, const State& st, int numPeaks);

  bool valid_ = false;
  State shown_;
};

}  // namespace ostrel
