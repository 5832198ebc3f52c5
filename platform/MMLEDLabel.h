#pragma once
// A text label drawn as LED dot-matrix characters: one 5 x 7 cell per character of the
// caption, lit dots in the LED colour, unlit dots in the inactive colour, on the
// background colour. The dots grow to fill the control as far as the caption allows.

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <string>

#include "platform/MMGraphicControl.h"

namespace ostrel {

class TMMLEDLABEL : public QWidget {
  Q_OBJECT
 public:
  explicit TMMLEDLABEL(QWidget* parent = nullptr);

  // Kept exactly as given; every character (code point) takes one cell.
  QString Caption() const { return caption_; }
  void SetCaption(const QString& c);
  TColor LEDColor() const { return ledColor_; }
  void SetLEDColor(TColor c);
  TColor InactiveColor() const { return inactiveColor_; }
  void SetInactiveColor(TColor c);
  // The background behind and between the cells.
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  // Where the characters sit: horizontal and vertical Qt alignment flags.
  Qt::Alignment Alignment() const { return alignment_; }
  void SetAlignment(Qt::Alignment a);
  // Pixels from one dot to the next; 0 sizes the dots to fit the control. Clamped to 0..32.
  int DotSize() const { return dotSize_; }
  void SetDotSize(int v);

  // Pixels from dot to dot across and down: DotSize both ways, or else the largest pitch
  // that fits the caption into the control, with rows up to twice as far apart.
  QSize DotPitch() const;
  int CellCount() const { return int(cells_.size()); }
  // The pixels of one dot of one cell (column 0..4, row 0..6), in widget coordinates.
  QRect DotRect(int cell, int column, int row) const;

 signals:
  void DblClick();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;

 private:
  template <class T>
  void Set(T& field, T v) {
    if (field == v) return;
    field = v;
    update();
  }
  std::int64_t TextWidth(int pitch) const;
  QPoint Origin(QSize pitch) const;

  QString caption_;
  std::u32string cells_;  // the caption split into characters
  TColor ledColor_ = clLime;
  TColor inactiveColor_ = clBlack;
  TColor color_ = clBlack;
  Qt::Alignment alignment_ = Qt::AlignCenter;
  int dotSize_ = 0;
};

}  // namespace ostrel
