#pragma once
// Frame styles of the program's windows, as Qt window flags.

#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QWidget>

namespace ostrel {

// A fixed-size dialog frame that stays above other windows.
inline constexpr Qt::WindowFlags kDialogOnTop = Qt::Dialog | Qt::WindowStaysOnTopHint |
                                                Qt::MSWindowsFixedSizeDialogHint |
                                                Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
// A small tool window that stays above other windows.
inline constexpr Qt::WindowFlags kToolOnTop =
    Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// Centres a top-level window on the primary screen's available area.
inline void CentreOnScreen(QWidget* w) {
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect area = s->availableGeometry();
    w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
  }
}

// Gives a secondary window its component name, caption and fixed client size. Closing such
// a window only hides it: it lives until the program ends.
inline void SetUpFixedWindow(QWidget* w, const char* name, const QString& caption, int clientWidth,
                             int clientHeight) {
  w->setObjectName(QString::fromLatin1(name));
  w->setWindowTitle(caption);
  w->setFixedSize(clientWidth, clientHeight);
}

}  // namespace ostrel
