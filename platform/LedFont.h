#pragma once
// A 5 x 7 dot-matrix character set for LED text: printable ASCII with its own lower-case
// letters; accented Latin letters fall back to their base letter, anything else to a
// hollow box so that every character still takes and shows one cell.

#include <array>
#include <cstdint>

namespace ostrel {

class LedFont {
 public:
  static constexpr int kColumns = 5;
  static constexpr int kRows = 7;
  // One byte per row, top row first; bit 4 is the leftmost column.
  using Glyph = std::array<std::uint8_t, kRows>;

  // The pattern shown for a character (a Unicode code point).
  static Glyph GlyphFor(char32_t c);
  // True when the character has a pattern of its own or through its base letter.
  static bool HasGlyph(char32_t c);
  static bool IsLit(const Glyph& g, int column, int row) {
    return (g[row] >> (kColumns - 1 - column)) & 1;
  }
  // Shown for characters without a pattern.
  static const Glyph kFallback;
};

}  // namespace ostrel
