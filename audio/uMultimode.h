#pragma once
// The input setup window: channel-count mode, capture device per stereo input, sample
// rate and the alarm sound's output device. A mode takes effect at once; the devices when
// the window closes with OK.

#include <QDialog>

#include <array>

class QComboBox;
class QPushButton;

namespace ostrel {

class TRadioGroup;

class Tfmulti : public QDialog {
  Q_OBJECT
 public:
  explicit Tfmulti(QWidget* parent = nullptr);

  // Width of the main window, channels in view and inputs used per mode index 0..4.
  static constexpr int kModeWidths[5] = {124, 236, 463, 920, 1376};
  static constexpr int kModeChannels[5] = {2, 4, 8, 16, 24};
  static constexpr int kModeInputs[5] = {1, 2, 4, 8, 12};

  TRadioGroup* rg_mode = nullptr;    // "2 Channels" .. "24 Channels"
  TRadioGroup* rg_sample = nullptr;  // "44100 Hz", "48000 Hz"
  std::array<QComboBox*, 13> cb{};   // cb_1 .. cb_12: device of stereo input k
  QComboBox* cb_out = nullptr;       // output device of the alarm sound
  QPushButton* btnOk = nullptr;
  QPushButton* btnCancel = nullptr;
  // Output devices counted when the window was created.
  int OutputCount = 0;

  // Rebuilds every list and selects the stored devices.
  void FormShow();
  // Applies the selected mode to this window and the main window: lists in use, width
  // limit and width, menu marks and the number of channels in view. Starts or stops no
  // capture input.
  void rg_modeClick();
  // Sets the sample rate of all twelve capture inputs.
  void rg_sampleClick();
  // Stores the choices, gives the capture inputs their devices, closes.
  void btnOkClick();
  void btnCancelClick();

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace ostrel
