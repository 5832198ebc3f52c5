#pragma once
// Where a level scale puts its tick bands and its dB labels. Pure computation from the
// scale's settings, its size and the text metrics of its font, so the layout can be
// checked to the pixel without painting.

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

#include "metering/LtrbRect.h"
#include "metering/MMLevelTypes.h"
#include "platform/MMGraphicControl.h"

namespace ostrel {

enum TMMScalePos : std::uint8_t { spAboveOrLeft, spBelowOrRight, spBoth };

struct LevelScaleSettings {
  TMMLevelKind Kind = lkHorizontal;
  TMMLevelDirection Direction = dirNormal;
  bool LogAmp = true;
  int Sensitivy = -35;
  int ScaleTicks = 8;  // label positions, at least 2
  int Point1 = 50;
  int Point2 = 85;
  TColor Scale1Color = clWhite, Scale2Color = clWhite, Scale3Color = clRed;
  TMMScalePos ScalePos = spBoth;
};

// Text measures of the scale's font: one line height for every text and the advance
// width of a given text.
struct ScaleTextMetrics {
  int TextHeight = 0;
  std::function<int(const QString&)> TextWidth;
};

struct ScaleLabel {
  int X = 0, Y = 0;  // top-left corner of the text
  QString Text;
  TColor Color = clBlack;
  int N = 0;       // label position, 0 .. ScaleTicks - 1
  int Number = 0;  // dB value the text stands for
  friend bool operator==(const ScaleLabel&, const ScaleLabel&) = default;
};

struct TickBand {
  LtrbRect Rect;
  int Marker = 0;  // 1 for the band above or left, 0 for the one below or right
  friend bool operator==(const TickBand&, const TickBand&) = default;
};

// The tick object's zone settings for one paint: colours in band order and boundaries
// in tick units.
struct TickZones {
  TColor Color1 = clBlack, Color2 = clBlack, Color3 = clBlack;
  int Zone1 = 0, Zone2 = 0;
  friend bool operator==(const TickZones&, const TickZones&) = default;
};

struct TickBandLayout {
  std::vector<TickBand> Bands;
  LtrbRect LabelArea;  // what the bands leave for the labels
};

TickZones ComputeTickZones(const LevelScaleSettings& s, int tickCount);

// Bands of `thickness` pixels cut from the client rectangle of a width x height control.
TickBandLayout ComputeTickBands(const LevelScaleSettings& s, int width, int height, int thickness,
                                const ScaleTextMetrics& m);

// Every how many positions a label is drawn so that labels of `perLabel` pixels fit in
// `extent`; 0 when not even one label fits.
int LabelStep(int extent, int perLabel, int positions);

// The dB value of label position n.
int ScaleNumber(const LevelScaleSettings& s, int n);
// The text of a number: vertical scales show some in-between values as "--".
QString ScaleNumberText(int number, TMMLevelKind kind);
// The zone colour of label position n.
TColor ScaleLabelColor(const LevelScaleSettings& s, int n);

// The labels of a width x height control whose bands left `area`, in drawing order.
std::vector<ScaleLabel> ComputeScaleLabels(const LevelScaleSettings& s, int width, int height,
                                           const LtrbRect& area, const ScaleTextMetrics& m);

}  // namespace ostrel
