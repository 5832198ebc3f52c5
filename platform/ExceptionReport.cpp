#include "platform/ExceptionReport.h"

#include <QApplication>
#include <QMessageBox>
#include <QtGlobal>

namespace ostrel {

namespace {
ExceptionReporter& Reporter() {
  static ExceptionReporter reporter;
  return reporter;
}
MessageNotice& Notice() {
  static MessageNotice notice;
  return notice;
}
}  // namespace

QString ExceptionText(std::exception_ptr error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return QString::fromLocal8Bit(e.what());
  } catch (...) {
  }
  return QStringLiteral("Unknown error");
}

void ReportException(std::exception_ptr error) {
  try {
    if (Reporter())
      Reporter()(error);
    else
      qCritical("%s", qUtf8Printable(ExceptionText(error)));
  } catch (...) {
    // Reporting must never raise into the event loop.
  }
}

ExceptionReporter SetExceptionReporter(ExceptionReporter reporter) {
  ExceptionReporter old = std::move(Reporter());
  Reporter() = std::move(reporter);
  return old;
}

void ShowComponentMessage(const QString& caption, const QString& text) {
  if (Notice()) {
    Notice()(caption, text);
  } else if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
    QMessageBox::warning(nullptr, caption, text);
  } else {
    qWarning("%s: %s", qUtf8Printable(caption), qUtf8Printable(text));
  }
}

MessageNotice SetComponentMessageHandler(MessageNotice handler) {
  MessageNotice old = std::move(Notice());
  Notice() = std::move(handler);
  return old;
}

}  // namespace ostrel
