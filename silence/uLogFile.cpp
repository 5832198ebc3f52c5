#include "silence/uLogFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTextBlock>

#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "platform/ExceptionReport.h"
#include "platform/FileDialog.h"
#include "platform/WindowStyle.h"

namespace ostrel {

namespace {
constexpr int kButtonWidth = 137, kButtonHeight = 25;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int x, int y) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(x, y, kButtonWidth, kButtonHeight);
  return b;
}
}  // namespace

TfLogFile::TfLogFile(QWidget* parent) : QWidget(parent, kToolOnTop) {
  SetUpFixedWindow(this, "fLogFile", QStringLiteral("Logfile"), 438, 460);
  setFont(QFont(QStringLiteral("Arial"), 8));

  Label1 = new QLabel(QStringLiteral("Logfile for the Multi Level Ostrel"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  QFont titleFont(QStringLiteral("Arial"));
  titleFont.setPixelSize(19);
  titleFont.setBold(true);
  Label1->setFont(titleFont);
  Label1->setGeometry(32, 16, 385, 28);

  logMemo = new QPlainTextEdit(this);
  logMemo->setObjectName(QStringLiteral("logMemo"));
  logMemo->setReadOnly(true);
  logMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  logMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  logMemo->setGeometry(32, 56, 385, 313);

  btn_stoplog = MakeButton(this, "btn_stoplog", QStringLiteral("Stop Logfile"), 40, 384);
  btn_startlog = MakeButton(this, "btn_startlog", QStringLiteral("Start Logfile"), 264, 384);
  btn_clear = MakeButton(this, "btn_clear", QStringLiteral("Clear"), 184, 400);
  btn_clear->resize(75, kButtonHeight);  // sits between the two columns
  btn_Save = MakeButton(this, "btn_Save", QStringLiteral("Save Logfile as"), 40, 416);
  btn_close = MakeButton(this, "btn_close", QStringLiteral("Close without saving"), 264, 416);
  // The right column may run wider than the left: its longest caption needs the room with
  // the fonts Linux desktops substitute for Arial.
  btn_close->resize(160, kButtonHeight);

  SaveDialog1 = new TFileDialog(TFileDialog::Save, this);
  SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
  SaveDialog1->DefaultExt = QStringLiteral("txt");
  SaveDialog1->OverwritePrompt = true;
  SaveDialog1->Owner = this;

  connect(btn_stoplog, &QPushButton::clicked, this, &TfLogFile::btn_stoplogClick);
  connect(btn_startlog, &QPushButton::clicked, this, &TfLogFile::btn_startlogClick);
  connect(btn_clear, &QPushButton::clicked, this, &TfLogFile::btn_clearClick);
  connect(btn_Save, &QPushButton::clicked, this, &TfLogFile::btn_SaveClick);
  connect(btn_close, &QPushButton::clicked, this, &TfLogFile::btn_closeClick);
}

void TfLogFile::btn_stoplogClick() {
  if (!fMain) return;
  fMain->LogActive = false;
  for (int n = 1; n <= TfMain::kChannels; ++n) fMain->SilenceCount[n] = 0;
}

void TfLogFile::btn_startlogClick() {
  if (fMain) fMain->LogActive = true;
}

void TfLogFile::btn_clearClick() {
  logMemo->clear();
}

void TfLogFile::btn_closeClick() {
  close();
}

void TfLogFile::AddLine(const QString& line) {
  logMemo->appendPlainText(line);
}

QStringList TfLogFile::Lines() const {
  QStringList lines;
  if (logMemo->document()->isEmpty()) return lines;
  for (QTextBlock b = logMemo->document()->begin(); b.isValid(); b = b.next()) lines << b.text();
  return lines;
}

QString TfLogFile::ExportFolder() {
  return QDir(QCoreApplication::applicationDirPath())
      .filePath(QStringLiteral("Multi Level Ostrel export"));
}

bool TfLogFile::WriteLines(const QString& path, const QStringList& lines, QString* error) {
  QByteArray bytes;
  for (const QString& line : lines) bytes += line.toLocal8Bit() + "\r\n";
  QSaveFile file(path);
  // Where only the file itself (not its folder) may be written, write it in place.
  file.setDirectWriteFallback(true);
  const QString shown = QDir::toNativeSeparators(path);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error)
      *error = QStringLiteral("Cannot create file \"%1\". %2").arg(shown, file.errorString());
    return false;
  }
  file.write(bytes);
  if (!file.commit()) {  // a failed write is reported here; the old file stays untouched
    if (error)
      *error = QStringLiteral("Cannot write file \"%1\". %2").arg(shown, file.errorString());
    return false;
  }
  return true;
}

void TfLogFile::btn_SaveClick() {
  SaveDialog1->Filter = QStringLiteral("Multi Level Ostrel |*.txt");
  SaveDialog1->Title = QStringLiteral("Save Multi Level Ostrel logfile");
  SaveDialog1->DefaultExt = QStringLiteral("txt");
  // The dialog opens in the export folder when there is one. The process's own working
  // folder stays as it is: the manual is looked up there by its bare name.
  const QString folder = ExportFolder();
  if (QFileInfo(folder).isDir()) SaveDialog1->InitialDir = folder;
  if (!SaveDialog1->Execute()) return;
  QString error;
  if (!WriteLines(SaveDialog1->FileName, Lines(), &error))
    ShowComponentMessage(QGuiApplication::applicationDisplayName(), error);
}

}  // namespace ostrel
