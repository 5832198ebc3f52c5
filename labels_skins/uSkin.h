#pragma once
// The skin chooser: the look of every window of the program.

#include <QDialog>

namespace ostrel {

class TfSkin : public QDialog {
  Q_OBJECT
 public:
  explicit TfSkin(QWidget* parent = nullptr);
};

}  // namespace ostrel
