#pragma once
// The input setup window: channel-count mode, capture device per stereo input, sample
// rate and the alarm sound's output device.

#include <QDialog>

namespace ostrel {

class TRadioGroup;

class Tfmulti : public QDialog {
  Q_OBJECT
 public:
  explicit Tfmulti(QWidget* parent = nullptr);

  // Width of the main window and channels in view per mode index 0..4.
  static constexpr int kModeWidths[5] = {124, 236, 463, 920, 1376};
  static constexpr int kModeChannels[5] = {2, 4, 8, 16, 24};

  TRadioGroup* rg_mode = nullptr;  // "2 Channels" .. "24 Channels"

  // Applies the selected mode to the main window: width limit and width, menu marks and
  // the number of channels in view. Starts or stops no capture input.
  void rg_modeClick();
};

}  // namespace ostrel
