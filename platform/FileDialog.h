#pragma once
// The file open and save dialogs as components: their settings are kept between runs of
// the dialog, Execute shows it modally. Filters are written as "Text|pattern|Text|pattern".
// A test (or anything else) can put its own chooser in place of the real dialog.

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace ostrel {

class TFileDialog : public QObject {
  Q_OBJECT
 public:
  enum Kind { Open, Save };
  // Returns the chosen path, or an empty string when the user cancelled.
  using Chooser = std::function<QString(const TFileDialog& dialog)>;

  explicit TFileDialog(Kind kind, QObject* parent = nullptr);

  Kind DialogKind() const { return kind_; }
  QString Title;
  QString Filter;               // "Text|*.ext", pairs separated by "|"
  QString DefaultExt;           // without the dot; added to a chosen name that has no extension
  QString InitialDir;           // empty: the current folder
  QString FileName;             // the last chosen path; proposed when the dialog opens
  bool OverwritePrompt = true;  // a save dialog asks before replacing an existing file
  QWidget* Owner = nullptr;     // the window the dialog sits on

  // The filter as Qt writes it: "Text (*.ext);;...". A text that already ends with its
  // pattern in brackets is kept as it is.
  QString QtFilter() const;

  // Shows the dialog; true when the user confirmed, with FileName set to the chosen path.
  bool Execute();

  // Replaces the real dialog for this component (an empty chooser restores it).
  void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }

 private:
  QString RunQtDialog() const;

  Kind kind_;
  Chooser chooser_;
};

}  // namespace ostrel
