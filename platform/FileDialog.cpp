#include "platform/FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace ostrel {

TFileDialog::TFileDialog(Kind kind, QObject* parent) : QObject(parent), kind_(kind) {}

QString TFileDialog::QtFilter() const {
  const QStringList parts = Filter.split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString text = parts[i].trimmed();
    const QString pattern = parts[i + 1].trimmed();
    const QString bracketed = QLatin1Char('(') + pattern + QLatin1Char(')');
    filters << (text.endsWith(bracketed) ? text : text + QLatin1Char(' ') + bracketed);
  }
  return filters.join(QStringLiteral(";;"));
}

QString TFileDialog::RunQtDialog() const {
  QFileDialog dialog(Owner, Title, InitialDir, QtFilter());
  dialog.setAcceptMode(kind_ == Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(kind_ == Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(DefaultExt);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !OverwritePrompt);
  if (!FileName.isEmpty()) dialog.selectFile(FileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().constFirst();
}

bool TFileDialog::Execute() {
  QString chosen = chooser_ ? chooser_(*this) : RunQtDialog();
  if (chosen.isEmpty()) return false;
  // A typed name without an extension gets the default one, as the user expects.
  if (!DefaultExt.isEmpty() && QFileInfo(chosen).suffix().isEmpty())
    chosen += QLatin1Char('.') + DefaultExt;
  FileName = chosen;
  return true;
}

}  // namespace ostrel
