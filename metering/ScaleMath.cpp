#include "metering/ScaleMath.h"

#include <cmath>
#include <limits>

namespace ostrel {

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t p = std::int64_t(a) * b;
  std::int64_t q = p / c;
  const std::int64_t r = p % c;
  // Round the remainder away from zero when it is at least half of the divisor.
  const std::int64_t absR = r < 0 ? -r : r;
  const std::int64_t absC = c < 0 ? -std::int64_t(c) : std::int64_t(c);
  if (2 * absR >= absC) q += ((p < 0) != (c < 0)) ? -1 : 1;
  if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
  return int(q);
}

std::uint32_t RoundDiv(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  if (c == 0) return 0;
  return std::uint32_t((std::uint64_t(a) * b + c / 2) / c);
}

int RoundHalfEven(double v) {
  // The default floating-point rounding mode rounds ties to even.
  const double r = std::nearbyint(v);
  if (r >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (r <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return int(r);
}

}  // namespace ostrel
