#pragma once
// The application's exception reporting: where errors go that no caller can receive, such
// as a failure inside a capture notification or the connectors' service queue. The
// default writes the message to the log and shows nothing; the program or a test may put
// its own reporter in place.

#include <QString>

#include <exception>
#include <functional>

namespace ostrel {

using ExceptionReporter = std::function<void(std::exception_ptr error)>;

// Hands the error to the current reporter; never throws.
void ReportException(std::exception_ptr error);
// Installs a reporter (an empty one restores the default) and returns the previous one.
ExceptionReporter SetExceptionReporter(ExceptionReporter reporter);
// The text of an error: what() of a std::exception, otherwise "Unknown error".
QString ExceptionText(std::exception_ptr error);

// A component's own notice to the user (a caption and a text). The default shows a modal
// message box when a GUI application runs and logs otherwise; tests replace it.
using MessageNotice = std::function<void(const QString& caption, const QString& text)>;
void ShowComponentMessage(const QString& caption, const QString& text);
MessageNotice SetComponentMessageHandler(MessageNotice handler);

}  // namespace ostrel
