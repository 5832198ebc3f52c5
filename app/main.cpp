// Program entry: reads no command line; creates the window set and runs the message loop,
// which shows the main window. Closing the main window ends the program.
#include "app/uMain.h"
#include "app/uWindowSet.h"

#include "platform/CaptureStream.h"

#include <QApplication>

#include <cstdio>

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
  // Audio that arrived while no buffer was free is lost to the meters; say so once, so a
  // studio machine that cannot keep up does not go unnoticed.
  if (const auto dropped = ostrel::CaptureStream::TotalDroppedFrames())
    std::fprintf(stderr, "Ostrel: %llu captured frames were dropped (no free buffer)\n",
                 static_cast<unsigned long long>(dropped));
  return rc;
}
