#pragma once
// The input setup window: channel-count mode, capture device per stereo input, sample
// rate and the alarm sound's output device.

#include <QDialog>

namespace ostrel {

class Tfmulti : public QDialog {
  Q_OBJECT
 public:
  explicit Tfmulti(QWidget* parent = nullptr);
};

}  // namespace ostrel
