#include "labels_skins/uSkin.h"

#include "platform/WindowStyle.h"

namespace ostrel {

TfSkin::TfSkin(QWidget* parent) : QDialog(parent, kToolOnTop) {
  SetUpFixedWindow(this, "fSkin", QStringLiteral("Bars preference"), 229, 334);
  CentreOnScreen(this);
}

}  // namespace ostrel
