#include "ballistics/uSet_Level.h"

#include "platform/WindowStyle.h"

namespace ostrel {

TfSetLevel::TfSetLevel(QWidget* parent) : QDialog(parent, kDialogOnTop) {
  SetUpFixedWindow(this, "fSetLevel", QStringLiteral("Level settings"), 687, 626);

}

}  // namespace ostrel
