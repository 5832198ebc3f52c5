#include "metering/LevelScaleLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "metering/ScaleMath.h"

namespace ostrel {

namespace {

constexpr int kFullScale = 32767;

int Saturate(std::int64_t v) {
  return int(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                      std::numeric_limits<int>::max()));
}

bool IsVertical(const LevelScaleSettings& s) {
  return s.Kind == lkVertical;
}
bool IsReversed(const LevelScaleSettings& s) {
  return s.Direction == dirReversed;
}

}  // namespace

TickZones ComputeTickZones(const LevelScaleSettings& s, int tickCount) {
  // A vertical bar grows upwards while the ticks are drawn top-down, so the zones are
  // mirrored for it; a reversed direction mirrors them once more.
  const bool mirrored = IsVertical(s) != IsReversed(s);
  TickZones z;
  int p1, p2;
  if (mirrored) {
    z.Color1 = s.Scale3Color;
    z.Color2 = s.Scale2Color;
    z.Color3 = s.Scale1Color;
    p1 = 100 - s.Point2;
    p2 = 100 - s.Point1;
  } else {
    z.Color1 = s.Scale1Color;
    z.Color2 = s.Scale2Color;
    z.Color3 = s.Scale3Color;
    p1 = s.Point1;
    p2 = s.Point2;
  }
  z.Zone1 = MulDiv(p1 - 1, tickCount, 100);
  z.Zone2 = MulDiv(p2 - 1, tickCount, 100);
  return z;
}

TickBandLayout ComputeTickBands(const LevelScaleSettings& s, int width, int height, int thickness,
                                const ScaleTextMetrics& m) {
  std::int64_t L = 0, T = 0, R = width, B = height;
  const std::int64_t sz = thickness;
  // Bands are shifted by half a label so that each tick sits at the middle of its label.
  const std::int64_t half =
      IsVertical(s) ? m.TextHeight / 2 : (m.TextWidth ? m.TextWidth(QStringLiteral("0")) : 0) / 2;
  const bool rev = IsReversed(s);
  TickBandLayout out;
  auto band = [&](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, int marker) {
    out.Bands.push_back({{Saturate(l), Saturate(t), Saturate(r), Saturate(b)}, marker});
  };
  if (s.ScalePos == spAboveOrLeft || s.ScalePos == spBoth) {
    if (!IsVertical(s)) {
      if (!rev)
        band(L - half - 1, T, R - half - 1, T + sz, 1);
      else
        band(L + half, T, R + half - 1, T + sz, 1);
      T += sz;
    } else {
      if (!rev)
        band(L, T + half, L + sz, B + half - 1, 1);
      else
        band(L, T - half, L + sz, B - half - 1, 1);
      L += sz;
    }
  }
  if (s.ScalePos == spBelowOrRight || s.ScalePos == spBoth) {
    if (!IsVertical(s)) {
      if (!rev)
        band(L - half - 1, B - sz, R - half - 1, B, 0);
      else
        band(L + half, B - sz, R + half - 1, B, 0);
      B -= sz;
    } else {
      if (!rev)
        band(R - sz, T + half, R, B + half - 1, 0);
      else
        band(R - sz, T - half, R, B - half - 1, 0);
      R -= sz;
    }
  }
  out.LabelArea = {Saturate(L), Saturate(T), Saturate(R), Saturate(B)};
  return out;
}

int LabelStep(int extent, int perLabel, int positions) {
  // The labels of every e-th position need ((positions - 1) div e) * perLabel pixels; the
  // step is the smallest e for which that fits. Searching e upwards would divide by zero
  // once e passes positions - 1, which happens exactly when one label alone does not fit.
  if (extent <= 0 || perLabel <= 0 || positions < 2) return 0;
  const std::int64_t fitting = extent / perLabel;  // labels that fit side by side
  if (fitting < 1) return 0;
  return int((std::int64_t(positions) - 1) / (fitting + 1) + 1);
}

int ScaleNumber(const LevelScaleSettings& s, int n) {
  const int last = s.ScaleTicks - 1;
  const bool vertical = IsVertical(s), rev = IsReversed(s);
  if (s.LogAmp) {
    const int m = ((!vertical && !rev) || (vertical && rev)) ? last - n : n;
    return MulDiv(m, s.Sensitivy, last);
  }
  // Linear scale: equal steps of the level between the threshold t and full scale.
  const int m = ((!vertical && rev) || (vertical && !rev)) ? last - n : n;
  const float t = float(kFullScale / std::pow(10.0, -s.Sensitivy / 20.0));
  const double level = double(t) + (kFullScale - double(t)) * m / last;
  return RoundHalfEven(20.0 * std::log10(level / kFullScale));
}

QString ScaleNumberText(int number, TMMLevelKind kind) {
  if (kind == lkVertical) {
    switch (number) {
      case -2:
      case -3:
      case -7:
      case -8:
      case -12:
      case -13:
      case -17:
      case -18:
      case -22:
      case -24:
      case -27:
      case -29:
        return QStringLiteral("--");
      default:
        break;
    }
  }
  return QString::number(number);
}

TColor ScaleLabelColor(const LevelScaleSettings& s, int n) {
  std::int64_t q = MulDiv(kFullScale, n, s.ScaleTicks - 1);
  if ((!IsVertical(s) && IsReversed(s)) || (IsVertical(s) && !IsReversed(s))) q = kFullScale - q;
  // q > Point * 32767 / 100, compared without rounding the percentage.
  if (q * 100 > std::int64_t(s.Point2) * kFullScale) return s.Scale3Color;
  if (q * 100 > std::int64_t(s.Point1) * kFullScale) return s.Scale2Color;
  return s.Scale1Color;
}

std::vector<ScaleLabel> ComputeScaleLabels(const LevelScaleSettings& s, int width, int height,
                                           const LtrbRect& area, const ScaleTextMetrics& m) {
  std::vector<ScaleLabel> out;
  if (area.IsEmpty() || s.ScaleTicks < 2 || !m.TextWidth) return out;
  const int count = s.ScaleTicks;
  const std::int64_t last = count - 1;
  const bool vertical = IsVertical(s), rev = IsReversed(s), sym = s.Direction == dirSymetric;
  const std::int64_t hW = m.TextHeight;
  const std::int64_t wS = m.TextWidth(QString::number(s.Sensitivy));  // the widest label

  // A symmetric scale labels each half on its own, so the labels share half the length.
  const int length = vertical ? height : width;
  const int extent = sym ? length / 2 : length;
  const int step = LabelStep(extent, int(vertical ? hW : wS), count);
  if (step == 0) return out;

  const int dir = vertical ? (rev ? -1 : 1) : (rev ? 1 : -1);
  const std::int64_t L = area.Left, T = area.Top, R = area.Right, B = area.Bottom;
  const std::int64_t halfH = (B - T) / 2, halfW = (R - L) / 2;
  auto place = [](std::int64_t a, std::int64_t b, std::int64_t c) {
    return std::int64_t(RoundDiv(std::uint32_t(a), std::uint32_t(b), std::uint32_t(c)));
  };

  for (std::int64_t k = 0; k < count; k += step) {
    const int n = int(dir > 0 ? k : last - k);
    const int number = ScaleNumber(s, n);
    const TColor colour = ScaleLabelColor(s, n);
    const QString text = ScaleNumberText(number, s.Kind);
    const std::int64_t wT = m.TextWidth(text);
    auto add = [&](std::int64_t x, std::int64_t y, const QString& t) {
      out.push_back({Saturate(x), Saturate(y), t, colour, n, number});
    };
    const QString plus =
        QStringLiteral("+") + QString::number(number < 0 ? -std::int64_t(number) : number);
    if (vertical) {
      // Right-aligned in a column as wide as the widest label, centred in the area.
      const std::int64_t x = R - (R - L) / 2 - wS / 2 + (wS - wT) - 1;
      if (!sym) {
        std::int64_t pos = place(n, B - T - 1, last);
        if (rev) pos -= hW;
        if (pos < 0 || pos + hW > height) continue;
        add(x, T + pos, text);
      } else {
        const std::int64_t pos = place(n, (B - T - 1) / 2, last);
        if (pos + hW > halfH) continue;
        add(x, T + halfH + 1 + pos - hW / 2, text);
        if (n > 0) add(x, T + halfH + 1 - pos - hW / 2, plus);
      }
    } else {
      const std::int64_t y = T + (B - T - hW) / 2;
      if (!sym) {
        std::int64_t pos = place(n, R - L - 1, last);
        if (!rev) pos -= wT;
        if (pos < 0 || pos + wT > width) continue;
        add(L + pos, y, text);
      } else {
        const std::int64_t pos = place(n, (R - L - 1) / 2, last);
        if (pos < wT) continue;
        add(L + pos - wT / 2, y, text);
        if (n < last) add(L + 2 * halfW - pos - 1 - wT / 2, y, plus);
      }
    }
  }
  return out;
}

}  // namespace ostrel
