#pragma once
// The number every value control of the program holds: an integer kept inside its limits.
// Setting it clamps, and the caller learns whether the held value really changed, so that
// its change handler runs only then.

#include <algorithm>

namespace ostrel {

struct BoundedInt {
  int value = 0;
  int min = 0;
  int max = 100;

  // Clamps `v` into the limits; true when the held value changed.
  bool Set(int v) {
    v = std::clamp(v, min, max);
    if (v == value) return false;
    value = v;
    return true;
  }
  // New limits, the upper one raised to the lower when below it. The value is not moved
  // here: the control pulls it inside through its own setter, so its change handler runs.
  void SetLimits(int lo, int hi) {
    min = lo;
    max = std::max(lo, hi);
  }
};

}  // namespace ostrel
