#pragma once
// Integer scaling used by the scale layout. Both keep a 64-bit product, so positions of
// scales with many label positions or large sizes do not overflow.

#include <cstdint>

namespace ostrel {

// a * b / c rounded to the nearest integer, halves away from zero (the platform MulDiv).
// Returns -1 when c is 0 or the result does not fit in 32 bits, as the platform call does.
int MulDiv(int a, int b, int c);

// (a * b + c div 2) div c on unsigned values: rounds halves up. Returns 0 when c is 0.
std::uint32_t RoundDiv(std::uint32_t a, std::uint32_t b, std::uint32_t c);

// Round to the nearest integer, ties to even; Trunc cuts toward zero.
int RoundHalfEven(double v);

}  // namespace ostrel
