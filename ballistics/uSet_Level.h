#pragma once
// The level settings window: meter standard, colours, zones, peaks and the silence
// detector's settings for all 24 meters.

#include <QDialog>

namespace ostrel {

class TfSetLevel : public QDialog {
  Q_OBJECT
 public:
  explicit TfSetLevel(QWidget* parent = nullptr);
};

}  // namespace ostrel
