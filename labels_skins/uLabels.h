#pragma once
// The label editor: the 24 channel labels shown in LED characters under the meters.

#include <QDialog>

namespace ostrel {

class TfLabels : public QDialog {
  Q_OBJECT
 public:
  explicit TfLabels(QWidget* parent = nullptr);
};

}  // namespace ostrel
