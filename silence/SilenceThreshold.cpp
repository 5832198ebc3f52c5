#include "silence/SilenceThreshold.h"

#include <array>
#include <cmath>

namespace ostrel {

namespace {
constexpr int kMaxAmplitude = 32768;

// The readings of all amplitudes, computed once: the threshold handler runs at every
// change of the meter standard too.
const std::array<double, kMaxAmplitude + 1>& Readings() {
  static const auto table = [] {
    std::array<double, kMaxAmplitude + 1> t{};
    for (int i = 1; i <= kMaxAmplitude; ++i) t[i] = SilenceAmplitudeDb(i);
    return t;
  }();
  return table;
}
}  // namespace

double SilenceAmplitudeDb(int amplitude) {
  return 8.7396 * std::log(double(amplitude)) - 90.7406;
}

int SilenceThresholdAmplitude(int dbfs) {
  const auto& readings = Readings();
  int rounded = 0, below = 0;
  for (int i = 1; i <= kMaxAmplitude; ++i) {
    // Nearest integer, ties to even.
    if (std::nearbyint(readings[i]) == double(dbfs)) rounded = i;
    if (readings[i] < double(dbfs)) below = i;
  }
  if (rounded > 0) return rounded;
  return below > 0 ? below : 1;
}

}  // namespace ostrel
