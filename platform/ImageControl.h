#pragma once
// Picture control: a widget that shows its own bitmap 1:1. Code draws into Picture() and
// then calls Invalidate(); the widget never draws anything of its own.

#include <QFont>
#include <QImage>
#include <QWidget>

namespace ostrel {

class TImageControl : public QWidget {
  Q_OBJECT
 public:
  explicit TImageControl(QWidget* parent = nullptr);
  TImageControl(const QString& name, QWidget* parent);

  // The bitmap, always exactly as large as the control. When the control has changed size
  // since the last access the bitmap follows first: the old content stays in the top-left
  // corner and the new area is black. Empty (null) while the control has no area.
  QImage& Picture();

  // The font labels are drawn with; drawing code only ever changes its colour.
  const QFont& Font() const { return font_; }
  void SetFont(const QFont& f) { font_ = f; }

  // Schedules a repaint after drawing into Picture().
  void Invalidate() { update(); }

  // A small sans-serif face whose text cell is 13 pixels high where the usual desktop
  // fonts are installed (the label positions of the scale pictures are laid out for that).
  static QFont DefaultFont();

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  void SyncSize();

  QImage picture_;
  QFont font_;
};

}  // namespace ostrel
