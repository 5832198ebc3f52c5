// Integer scaling behind the scale layout: MulDiv rounds halves away from zero, RoundDiv
// rounds halves up on unsigned values, Round goes to the even neighbour on ties.
#include <gtest/gtest.h>

#include <climits>

#include "metering/ScaleMath.h"

namespace ostrel {
namespace {

struct MulDivCase {
  int a, b, c, expected;
};

TEST(LevelScaleMath, MulDivRoundsHalvesAwayFromZero) {
  const MulDivCase cases[] = {
      {1, -42, 25, -2},                      // -1.68
      {3, -42, 25, -5},                      // -5.04
      {7, -42, 25, -12},                     // -11.76
      {1, 5, 2, 3},                          // 2.5 -> 3
      {-1, 5, 2, -3},                        // -2.5 -> -3
      {1, -5, 2, -3},                        // -2.5 -> -3
      {-1, -5, 2, 3},                        // 2.5 -> 3
      {1, 5, -2, -3},                        // negative divisor
      {3, 1, 2, 2},                          // 1.5 -> 2
      {1, 1, 3, 0},                          // 0.33 -> 0
      {2, 1, 3, 1},                          // 0.67 -> 1
      {45, 10, 100, 5},                      // 4.5 -> 5
      {-45, 10, 100, -5},                    // -4.5 -> -5
      {32767, 1, 25, 1311},                  // 1310.68
      {32767, 2, 25, 2621},                  // 2621.36
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX},  // the product needs 64 bits
      {0, 7, 3, 0},
  };
  for (const MulDivCase& t : cases)
    EXPECT_EQ(MulDiv(t.a, t.b, t.c), t.expected) << t.a << " * " << t.b << " / " << t.c;
}

TEST(LevelScaleMath, MulDivReportsZeroDivisorAndOverflowAsMinusOne) {
  EXPECT_EQ(MulDiv(5, 7, 0), -1);
  EXPECT_EQ(MulDiv(INT_MAX, 4, 2), -1);
  EXPECT_EQ(MulDiv(INT_MIN, 4, 2), -1);
}

struct RoundDivCase {
  std::uint32_t a, b, c, expected;
};

TEST(LevelScaleMath, RoundDivRoundsHalvesUp) {
  const RoundDivCase cases[] = {
      {1, 752, 25, 30},                                     // 30.08
      {7, 752, 25, 211},                                    // 210.56
      {5, 752, 25, 150},                                    // 150.4
      {1, 5, 2, 3},                                         // 2.5 -> 3
      {3, 1, 2, 2},                                         // 1.5 -> 2
      {1, 1, 4, 0},                                         // 0.25
      {3, 99, 4, 74},                                       // 74.25
      {6, 199, 7, 171},                                     // 170.57
      {0, 99, 4, 0},     {4000000000u, 2, 4, 2000000000u},  // the product needs 64 bits
  };
  for (const RoundDivCase& t : cases)
    EXPECT_EQ(RoundDiv(t.a, t.b, t.c), t.expected) << t.a << " * " << t.b << " / " << t.c;
  EXPECT_EQ(RoundDiv(3, 4, 0), 0u);
}

TEST(LevelScaleMath, RoundGoesToEvenOnTies) {
  const struct {
    double v;
    int expected;
  } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4, 2}, {2.6, 3}, {-5.19, -5}};
  for (const auto& t : cases) EXPECT_EQ(RoundHalfEven(t.v), t.expected) << t.v;
}

}  // namespace
}  // namespace ostrel
