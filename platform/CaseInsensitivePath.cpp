#include "platform/CaseInsensitivePath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace ostrel {

QString ResolvePathNoCase(const QString& path) {
  if (path.isEmpty()) return {};
  if (QFileInfo::exists(path)) return path;

  const bool absolute = path.startsWith(QLatin1Char('/'));
  const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  QString resolved = absolute ? QStringLiteral("/") : QString();
  for (int i = 0; i < parts.size(); ++i) {
    const QString& part = parts[i];
    const QString folder = resolved.isEmpty() ? QStringLiteral(".") : resolved;
    QString found;
    if (part == QLatin1String(".") || part == QLatin1String("..") ||
        QFileInfo::exists(resolved + part)) {
      found = part;
    } else {
      const QStringList entries = QDir(folder).entryList(
          QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
      for (const QString& entry : entries) {
        if (entry.compare(part, Qt::CaseInsensitive) == 0) {
          found = entry;
          break;
        }
      }
      if (found.isEmpty()) return {};
    }
    resolved += found;
    if (i + 1 < parts.size()) resolved += QLatin1Char('/');
  }
  return QFileInfo::exists(resolved) ? resolved : QString();
}

}  // namespace ostrel
