#include "platform/ProgramFolder.h"

#include <QCoreApplication>

namespace ostrel {

namespace {
QString& FolderOverride() {
  static QString folder;
  return folder;
}
}  // namespace

QString ProgramFolder() {
  const QString& folder = FolderOverride();
  return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void SetProgramFolder(const QString& folder) {
  QString f = folder;
  while (f.size() > 1 && f.endsWith(QLatin1Char('/'))) f.chop(1);
  FolderOverride() = f;
}

}  // namespace ostrel
