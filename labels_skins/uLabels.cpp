#include "labels_skins/uLabels.h"

#include "platform/WindowStyle.h"

namespace ostrel {

TfLabels::TfLabels(QWidget* parent) : QDialog(parent, kDialogOnTop) {
  SetUpFixedWindow(this, "fLabels", QStringLiteral("Label for the Levels"), 452, 299);
  CentreOnScreen(this);
}

}  // namespace ostrel
