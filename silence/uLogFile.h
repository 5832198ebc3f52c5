#pragma once
// The log window: one line per silence alarm, in order of arrival. The user can pause and
// resume logging, clear the list and save it as a text file; closing only hides the window
// and keeps the lines.

#include <QStringList>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace ostrel {

class TFileDialog;

class TfLogFile : public QWidget {
  Q_OBJECT
 public:
  explicit TfLogFile(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;             // "Logfile for the Multi Level Ostrel"
  QPlainTextEdit* logMemo = nullptr;    // the log lines, read-only
  QPushButton* btn_stoplog = nullptr;   // "Stop Logfile"
  QPushButton* btn_startlog = nullptr;  // "Start Logfile"
  QPushButton* btn_clear = nullptr;     // "Clear"
  QPushButton* btn_Save = nullptr;      // "Save Logfile as"
  QPushButton* btn_close = nullptr;     // "Close without saving"
  TFileDialog* SaveDialog1 = nullptr;

  void btn_stoplogClick();
  void btn_startlogClick();
  void btn_clearClick();
  void btn_SaveClick();
  void btn_closeClick();

  // Adds one line at the end of the log (the silence detector's only way in).
  void AddLine(const QString& line);
  // The lines in order of arrival; none for an empty log.
  QStringList Lines() const;

  // The export folder beside the program, where the save dialog opens when it exists.
  static QString ExportFolder();
  // Writes the lines, each ended by CR LF, in the system's 8-bit encoding, replacing the
  // file. An existing file is only replaced once the new content is complete. On failure
  // returns false with a message for the user in `error`.
  static bool WriteLines(const QString& path, const QStringList& lines, QString* error);
};

}  // namespace ostrel
