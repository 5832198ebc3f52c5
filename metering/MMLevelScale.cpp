#include "metering/MMLevelScale.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace ostrel {

TMMLevelScale::TMMLevelScale(QWidget* parent)
    : TMMGraphicControl(parent), scale_(new TMMLevScale(this)) {
  // The program's forms keep the tick band off; only the labels show.
  scale_->SetVisible(false);
  connect(scale_, &TMMCustomScale::Changed, this, [this] { update(); });
  SetBounds(0, 0, 200, 7);
}

void TMMLevelScale::SetScaleTicks(int v) {
  Set(s_.ScaleTicks, std::max(v, 2));
}
void TMMLevelScale::SetPoint1(int v) {
  Set(s_.Point1, std::clamp(v, 1, 100));
}
void TMMLevelScale::SetPoint2(int v) {
  Set(s_.Point2, std::clamp(v, 1, 100));
}
void TMMLevelScale::SetScale1Color(TColor v) {
  Set(s_.Scale1Color, v);
}
void TMMLevelScale::SetScale2Color(TColor v) {
  Set(s_.Scale2Color, v);
}
void TMMLevelScale::SetScale3Color(TColor v) {
  Set(s_.Scale3Color, v);
}
void TMMLevelScale::SetSensitivy(int v) {
  Set(s_.Sensitivy, std::clamp(v, -90, -9));
}
void TMMLevelScale::SetLogAmp(bool v) {
  Set(s_.LogAmp, v);
}
void TMMLevelScale::SetDirection(TMMLevelDirection v) {
  Set(s_.Direction, v);
}
void TMMLevelScale::SetScalePos(TMMScalePos v) {
  Set(s_.ScalePos, v);
}

void TMMLevelScale::SetKind(TMMLevelKind v) {
  if (s_.Kind == v) return;
  s_.Kind = v;
  if ((v == lkHorizontal && height() > width()) || (v == lkVertical && height() < width()))
    SetSize(height(), width());
  update();
}

ScaleTextMetrics TMMLevelScale::TextMetrics() const {
  const QFontMetrics fm(font());
  return {fm.height(), [fm](const QString& t) { return fm.horizontalAdvance(t); }};
}

TickBandLayout TMMLevelScale::Bands(const ScaleTextMetrics& m) const {
  if (!scale_->Visible()) return {{}, {0, 0, width(), height()}};
  return ComputeTickBands(s_, width(), height(), scale_->BandThickness(), m);
}

std::vector<ScaleLabel> TMMLevelScale::Labels() const {
  const ScaleTextMetrics m = TextMetrics();
  return ComputeScaleLabels(s_, width(), height(), Bands(m).LabelArea, m);
}

void TMMLevelScale::Paint(QPainter& p) {
  p.fillRect(rect(), ToQColor(Color()));
  p.setFont(font());
  const ScaleTextMetrics m = TextMetrics();
  const TickBandLayout bands = Bands(m);

  if (scale_->Visible()) {
    // The tick object takes its zones from the scale; changing them repaints once more,
    // and that second paint finds them unchanged.
    const TickZones z = ComputeTickZones(s_, scale_->TickCount());
    scale_->SetColor(z.Color1);
    scale_->SetColor2(z.Color2);
    scale_->SetColor3(z.Color3);
    scale_->SetZone1(z.Zone1);
    scale_->SetZone2(z.Zone2);
    scale_->SetCanvas(&p);
    for (const TickBand& b : bands.Bands) scale_->DrawTicks(b.Rect, b.Marker);
    scale_->SetCanvas(nullptr);
  }

  const int ascent = QFontMetrics(font()).ascent();
  for (const ScaleLabel& l : ComputeScaleLabels(s_, width(), height(), bands.LabelArea, m)) {
    p.setPen(ToQColor(l.Color));
    p.drawText(l.X, l.Y + ascent, l.Text);
  }
}

}  // namespace ostrel
