#include "silence/uLogFile.h"

#include "platform/WindowStyle.h"

namespace ostrel {

TfLogFile::TfLogFile(QWidget* parent) : QWidget(parent, kToolOnTop) {
  SetUpFixedWindow(this, "fLogFile", QStringLiteral("Logfile"), 438, 460);

}

}  // namespace ostrel
