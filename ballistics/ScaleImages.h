#pragma once
// The dB scale pictures drawn beside the level bars, one drawing per meter standard, and
// the red fill that marks a silent channel. Every mark sits at a fixed integer expression
// in the picture height (not derived from the meter's dB mapping), so the pictures look
// the same as the users know them at every window height.
//
// Each drawing takes the picture control (or a bitmap and the label font) and draws with
// one-pixel ticks and labels on opaque black cells; anything outside the bitmap is clipped.

#include <QFont>
#include <QImage>

#include "platform/ImageControl.h"
#include "platform/MMGraphicControl.h"

namespace ostrel {

// Colour of ticks and labels, shared by every scale picture; clCream unless set.
TColor ScaleColor();
void SetScaleColor(TColor color);

// "Nordic N9": +12 to -42 dB with "Test" at 0 and a red overload zone.
void DrawNordicScale(QImage& picture, const QFont& font);
void DrawNordicScale(TImageControl& image);

// "DIN 45406": +5 to -50 dB with a red top zone and two red ticks.
void DrawDinScale(QImage& picture, const QFont& font);
void DrawDinScale(TImageControl& image);

// "BBC Scale": marks 7 down to 1.
void DrawBbcScale(QImage& picture, const QFont& font);
void DrawBbcScale(TImageControl& image);

// "EBU Scale": +12 down to -12 in 4 dB steps, plus one unlabelled tick.
void DrawEbuScale(QImage& picture, const QFont& font);
void DrawEbuScale(TImageControl& image);

// "Digital PPM": 0 to -55 dBFS, ticks at the DIN heights.
void DrawDigitalScale(QImage& picture, const QFont& font);
void DrawDigitalScale(TImageControl& image);

// Silence alarm: floods the picture red below its top five rows, over whatever it shows.
void PaintScaleAlarm(QImage& picture);
void PaintScaleAlarm(TImageControl& image);

}  // namespace ostrel
