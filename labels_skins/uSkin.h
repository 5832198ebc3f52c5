#pragma once
// The skin chooser: the look of every window of the program.

#include <QWidget>

namespace ostrel {

class TfSkin : public QWidget {
  Q_OBJECT
 public:
  explicit TfSkin(QWidget* parent = nullptr);
};

}  // namespace ostrel
