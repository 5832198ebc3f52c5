#pragma once
// A rectangle given by its four edges, right and bottom exclusive, as the scale's layout
// rules are written: moving one edge never disturbs the others.

#include <QRect>

namespace ostrel {

struct LtrbRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  // No pixel inside: a band that takes the whole area leaves an empty rectangle.
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }

  friend bool operator==(const LtrbRect&, const LtrbRect&) = default;
};

}  // namespace ostrel
