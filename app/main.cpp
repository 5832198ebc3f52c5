// Program entry: reads no command line; creates the window set and runs the message loop,
// which shows the main window. Closing the main window ends the program.
#include "app/uMain.h"
#include "app/uWindowSet.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ostrel"));
  QApplication::setApplicationVersion(QStringLiteral(OSTREL_VERSION));
  // The main window ends the program itself; hidden secondary windows must not keep it alive
  // and closing one of them must not end it.
  QApplication::setQuitOnLastWindowClosed(false);

  ostrel::CreateWindowSet();
  ostrel::fMain->show();
  const int rc = QApplication::exec();
  ostrel::DestroyWindowSet();
  return rc;
}
