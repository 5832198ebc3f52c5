#pragma once
// The desktop's "open" request for a document or a web page. The result is not examined:
// a missing document or browser simply shows nothing.

#include <QUrl>

#include <functional>

namespace ostrel {

void ShellOpen(const QUrl& url);

// Replaces the desktop request (tests record the request instead); an empty handler
// restores the desktop's.
void SetShellOpenHandler(std::function<void(const QUrl&)> handler);

}  // namespace ostrel
