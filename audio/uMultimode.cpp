#include "audio/uMultimode.h"

#include "platform/WindowStyle.h"

namespace ostrel {

Tfmulti::Tfmulti(QWidget* parent) : QDialog(parent, kDialogOnTop) {
  SetUpFixedWindow(this, "fmulti", QStringLiteral("Multi Mode Input Setup"), 520, 430);

}

}  // namespace ostrel
