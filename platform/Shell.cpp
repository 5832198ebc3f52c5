#include "platform/Shell.h"

#include <QDesktopServices>

namespace ostrel {

namespace {
std::function<void(const QUrl&)>& Handler() {
  static std::function<void(const QUrl&)> handler;
  return handler;
}
}  // namespace

void ShellOpen(const QUrl& url) {
  if (Handler()) {
    Handler()(url);
    return;
  }
  QDesktopServices::openUrl(url);
}

void SetShellOpenHandler(std::function<void(const QUrl&)> handler) {
  Handler() = std::move(handler);
}

}  // namespace ostrel
