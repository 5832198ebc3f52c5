#pragma once
// The label editor: the 24 channel labels shown in LED characters under the meters. "Okay"
// puts them on the strips and stores them; closing by the frame drops what was typed.

#include <QDialog>

#include <array>

class QLineEdit;
class QPushButton;

namespace ostrel {

class TfLabels : public QDialog {
  Q_OBJECT
 public:
  explicit TfLabels(QWidget* parent = nullptr);

  // Edit boxes of channels 1..24 (index 0 unused).
  std::array<QLineEdit*, 25> Edit{};
  QPushButton* Button1 = nullptr;  // "Okay"

  // Loads the stored labels into the boxes; boxes keep their text when nothing is stored.
  void FormShow();
  // Puts the labels on the strips (channel 1 behind a blank), stores them, closes.
  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace ostrel
