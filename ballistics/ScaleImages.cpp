#include "ballistics/ScaleImages.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <iterator>

namespace ostrel {

namespace {

TColor g_scaleColor = clCream;

// Pen, fill and text primitives on one bitmap, all in whole pixels (no antialiasing) and
// clipped to the bitmap by the painter.
class ScaleCanvas {
 public:
  ScaleCanvas(QImage& picture, const QFont& font)
      : painter_(&picture), w_(picture.width()), h_(picture.height()) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setFont(font);
    cellHeight_ = painter_.fontMetrics().height();
  }

  int W() const { return w_; }
  int H() const { return h_; }

  void SetPen(TColor c) { pen_ = ToQColor(c); }

  // Rectangle with the right and bottom edges excluded; an inverted one is empty.
  void Fill(int x1, int y1, int x2, int y2, TColor c) {
    if (x2 <= x1 || y2 <= y1) return;
    painter_.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), ToQColor(c));
  }

  // Line from (x1, y) towards (x2, y) in the pen colour, the end point itself not drawn.
  // It may run leftwards too (a short tick on a very narrow picture): then it covers
  // x2 + 1 .. x1.
  void Tick(int x1, int x2, int y) {
    const int from = x1 <= x2 ? x1 : x2 + 1;
    const int to = x1 <= x2 ? x2 : x1 + 1;  // exclusive
    if (to <= from) return;
    painter_.fillRect(QRect(from, y, to - from, 1), pen_);
  }

  // Text with its top-left at (x, y) in the pen colour on an opaque black cell exactly as
  // large as the text. Glyphs never spill beyond the cell, so a label changes no pixel
  // outside it.
  void Label(int x, int y, const QString& text) {
    const QFontMetrics fm = painter_.fontMetrics();
    const QRect cell(x, y, fm.horizontalAdvance(text), cellHeight_);
    painter_.fillRect(cell, Qt::black);
    painter_.save();
    painter_.setClipRect(cell);
    painter_.setPen(pen_);
    painter_.drawText(x, y + fm.ascent(), text);
    painter_.restore();
  }

 private:
  QPainter painter_;
  int w_, h_;
  int cellHeight_ = 0;
  QColor pen_;
};

// Starts a standard drawing: the whole picture black and the pen in the scale colour.
void BeginScale(ScaleCanvas& c) {
  c.Fill(0, 0, c.W(), c.H(), clBlack);
  c.SetPen(g_scaleColor);
}

// DIN 45406 and Digital PPM share their tick heights; DIN adds a red zone, two red ticks
// and reads 5 dB higher.
void DrawDinLike(QImage& picture, const QFont& font, bool din) {
  if (picture.isNull()) return;
  ScaleCanvas c(picture, font);
  BeginScale(c);
  const int W = c.W(), H = c.H();
  if (din) {
    c.Fill(3, 10, W - 20, H / 6, clRed);
    c.Label(24, 5, QStringLiteral("+5"));
  }

  const int a = (H / 6) / 4;
  const int k = H / 34, f = H / 5, q = H / 24;
  struct Row {
    bool isLong;
    int y;
    const char* dinText;  // nullptr: no label
    int dinX;
    const char* dppmText;
    int dppmX;
    int labelY;
  };
  const Row rows[] = {
      {true, 10, nullptr, 0, " 0", 18, 5},
      {false, a + 2, nullptr, 0, nullptr, 0, 0},
      {false, a + k + 3, nullptr, 0, nullptr, 0, 0},
      {false, a + 2 * k + 2, nullptr, 0, nullptr, 0, 0},
      {false, (H / 9) / 4 + 4 * k - 8, nullptr, 0, nullptr, 0, 0},
      {true, a + 4 * k + 7, " 0", 24, " -5", 18, H / 6 - 7},
      {false, f - 4, nullptr, 0, nullptr, 0, 0},
      {false, f + k - 4, nullptr, 0, nullptr, 0, 0},
      {false, f + 2 * k - 3, nullptr, 0, nullptr, 0, 0},
      {false, f + 3 * k - 3, nullptr, 0, nullptr, 0, 0},
      {true, f + 4 * k - 2, " -5", 20, " -10", 14, f + 4 * k - 9},
      {false, f + 5 * k, nullptr, 0, nullptr, 0, 0},
      {false, f + 6 * k, nullptr, 0, nullptr, 0, 0},
      {false, f + 7 * k, nullptr, 0, nullptr, 0, 0},
      {false, f + 8 * k, nullptr, 0, nullptr, 0, 0},       // red in DIN
      {false, f + 16 * k - 5, nullptr, 0, nullptr, 0, 0},  // DIN only, red
      {false, f + 7 * (H / 28) + 11, " -10", 16, " -15", 14, f + 8 * (H / 28) - 19},
      {false, f + 9 * q - 6, " -15", 16, " -20", 14, f + 9 * q - 13},
      {false, f + 11 * q - 8, " -20", 16, " -25", 14, f + 10 * q + 12},
      {false, f + 13 * q - 13, " -25", 16, " -30", 14, f + 13 * q - 20},
      {false, f + 14 * q + 4, " -30", 16, " -35", 14, f + 15 * q - 30},
      {false, f + 14 * (H / 20), " -40", 16, " -45", 14, f + 14 * (H / 20) - 7},
      {false, f + 16 * (H / 20), " -50", 16, " -55", 14, f + 16 * (H / 20) - 8},
  };
  constexpr int kFirstRed = 14, kDinOnly = 15, kBackToScale = 16;  // zero-based rows

  for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
    const Row& r = rows[i];
    if (i == kDinOnly && !din) continue;
    if (din && i == kFirstRed) c.SetPen(clRed);
    if (i == kBackToScale) c.SetPen(g_scaleColor);
    c.Tick(3, r.isLong ? W - 12 : W - 15, r.y);
    const char* text = din ? r.dinText : r.dppmText;
    if (text) c.Label(din ? r.dinX : r.dppmX, r.labelY, QString::fromLatin1(text));
  }
}

template <void (*Draw)(QImage&, const QFont&)>
void DrawOnControl(TImageControl& image) {
  Draw(image.Picture(), image.Font());
  image.Invalidate();
}

}  // namespace

TColor ScaleColor() {
  return g_scaleColor;
}
void SetScaleColor(TColor color) {
  g_scaleColor = color;
}

void DrawNordicScale(QImage& picture, const QFont& font) {
  if (picture.isNull()) return;
  ScaleCanvas c(picture, font);
  BeginScale(c);
  const int W = c.W(), H = c.H();
  c.Fill(10, 10, W - 10, H / 8 - 5, clRed);  // overload zone
  c.Tick(0, W, 10);

  const int s = H / 18;
  int y = 4;
  for (int i = 1; i <= 6; ++i) {
    y += s;
    if (i % 2 == 1)
      c.Tick(10, W - 10, y - 1);
    else
      c.Tick(0, W, y - 3);
  }
  c.Label(10, y - 10, QStringLiteral(" -6 "));

  const int t = H / 19;
  int v = -12;
  for (int i = 7; i <= 18; ++i) {
    y += t;
    if (i % 2 == 1) {
      c.Tick(10, W - 10, y + 3);
    } else {
      c.Tick(0, W, y + 3);
      c.Label(8, y - 4, QStringLiteral(" %1").arg(v));
      v -= 6;
    }
  }

  c.Label(9, 0, QStringLiteral("+12 "));
  c.Label(11, 2 * s - 6, QStringLiteral("+6 "));
  c.Label(8, 4 * s - 6, QStringLiteral("Test "));
}

void DrawEbuScale(QImage& picture, const QFont& font) {
  if (picture.isNull()) return;
  ScaleCanvas c(picture, font);
  BeginScale(c);
  const int W = c.W(), H = c.H();
  const int y0 = (H / 6) / 6;
  const int s = H / 17;
  int v = 12;
  for (int i = 1; i <= 16; ++i) {
    if (i % 2 == 1) continue;
    const int y = y0 + i * s;
    c.Tick(3, W - 15, y - 5);
    if (v > 0)
      c.Label(13, y - 12, QStringLiteral("+ %1").arg(v));
    else if (v != -16)
      c.Label(13, y - 12, QStringLiteral(" %1").arg(v));
    v -= 4;
  }
}

void DrawBbcScale(QImage& picture, const QFont& font) {
  if (picture.isNull()) return;
  ScaleCanvas c(picture, font);
  BeginScale(c);
  const int W = c.W(), H = c.H();
  const int y0 = (H / 6) / 6;
  const int s1 = H / 14, s2 = H / 15;

  c.Tick(3, W - 15, y0 - 8);
  c.Label(20, y0 - 13, QStringLiteral(" 7"));

  for (int k = 1; k <= 4; ++k) {
    const int y = y0 + k * s1;
    c.Tick(3, k % 2 == 1 ? W - 25 : W - 12, y - 12);
    if (k == 2) c.Label(20, y - 15, QStringLiteral(" 6"));
    if (k == 4) c.Label(20, y - 15, QStringLiteral(" 5"));
  }

  // The lower half counts on from the fourth mark; its last long ticks carry no label.
  const int y4 = y0 + 4 * s1;
  for (int k = 1; k <= 14; ++k) {
    const int y = y4 + k * s2;
    c.Tick(3, k % 2 == 1 ? W - 25 : W - 12, y);
    if (k % 2 == 0 && k <= 8) c.Label(20, y - 5, QStringLiteral(" %1").arg(5 - k / 2));
  }
}

void DrawDinScale(QImage& picture, const QFont& font) {
  DrawDinLike(picture, font, true);
}

void DrawDigitalScale(QImage& picture, const QFont& font) {
  DrawDinLike(picture, font, false);
}

void PaintScaleAlarm(QImage& picture) {
  if (picture.isNull()) return;
  QPainter p(&picture);
  const int W = picture.width(), H = picture.height();
  if (H > 5) p.fillRect(QRect(0, 5, W, H - 5), ToQColor(clRed));
}

void DrawNordicScale(TImageControl& image) {
  DrawOnControl<DrawNordicScale>(image);
}
void DrawDinScale(TImageControl& image) {
  DrawOnControl<DrawDinScale>(image);
}
void DrawBbcScale(TImageControl& image) {
  DrawOnControl<DrawBbcScale>(image);
}
void DrawEbuScale(TImageControl& image) {
  DrawOnControl<DrawEbuScale>(image);
}
void DrawDigitalScale(TImageControl& image) {
  DrawOnControl<DrawDigitalScale>(image);
}

void PaintScaleAlarm(TImageControl& image) {
  PaintScaleAlarm(image.Picture());
  image.Invalidate();
}

}  // namespace ostrel
