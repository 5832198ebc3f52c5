#pragma once
// Helpers shared by the skin tests: skin texts, files in a temporary folder, and a recorder
// for the warnings the engine logs.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace ostrel::skintest {

// A complete, valid skin; `sheet` replaces its style sheet.
inline QByteArray SkinText(const QString& name = QStringLiteral("Test Red"),
                           const QString& window = QStringLiteral("#102030"),
                           const QString& sheet = QStringLiteral(
                               "QPushButton { background: #00ff00; border: 1px solid #000000; }\n"
                               "QLabel { color: #ff00ff; }\n")) {
  const QString header = QStringLiteral(
                             "OstrelSkin 1\n"
                             "# a test skin\n"
                             "Name = %1\n"
                             "Window = %2\n"
                             "WindowText = #f0e0d0\n"
                             "Base = #000000\n"
                             "Text = #ffffff\n"
                             "Button = #203040\n"
                             "ButtonText = #eeeeee\n"
                             "Highlight = #ff0000\n"
                             "HighlightedText = #000000\n"
                             "[StyleSheet]\n")
                             .arg(name, window);
  return (header + sheet).toUtf8();
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Records the warnings logged while it lives; everything else goes on as before.
class WarningRecorder {
 public:
  WarningRecorder() {
    current_ = this;
    previous_ = qInstallMessageHandler(&WarningRecorder::Handle);
  }
  ~WarningRecorder() {
    qInstallMessageHandler(previous_);
    current_ = nullptr;
  }
  const QStringList& Warnings() const { return warnings_; }

 private:
  static void Handle(QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
    if (current_ && type == QtWarningMsg)
      current_->warnings_ << msg;
    else if (current_ && current_->previous_)
      current_->previous_(type, ctx, msg);
  }
  static inline WarningRecorder* current_ = nullptr;
  QtMessageHandler previous_ = nullptr;
  QStringList warnings_;
};

}  // namespace ostrel::skintest
