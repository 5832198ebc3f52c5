#pragma once
// The skin chooser: fourteen skins for the look of every window of the program. A choice is
// applied at once and remembered as the user's skin for the next start.

#include <QDialog>

class QLabel;
class QPushButton;
class QStatusBar;

namespace ostrel {

class TRadioGroup;

class TfSkin : public QDialog {
  Q_OBJECT
 public:
  // The skin files of the list entries "Skin1".."Skin14", relative to the program folder.
  static const QStringList& SkinFiles();

  explicit TfSkin(QWidget* parent = nullptr);

  QStatusBar* StatusBar1 = nullptr;
  TRadioGroup* rg_skin = nullptr;
  QPushButton* Button2 = nullptr;

  // Applies the selected skin to the program's skin engine and stores its full path under
  // "skin", whether or not the file could be loaded.
  void rg_skinClick();
  // "Okay": closes the chooser.
  void Button2Click();
};

}  // namespace ostrel
