#pragma once
// A skin file: a small header of palette colours followed by a Qt style sheet, UTF-8 text.
//
//   OstrelSkin 1
//   # comments and blank lines are allowed in the header
//   Name = Brushed Steel
//   Window = #c9ccd1
//   WindowText = #15171a
//   ...                       any QPalette colour role; "Disabled" + role for greyed-out
//   [StyleSheet]
//   QPushButton { ... }        everything after this line is the style sheet
//
// Name and the colours Window, WindowText, Base, Text, Button, ButtonText, Highlight and
// HighlightedText are required; the other roles are derived from them when missing.
//
// Window backgrounds come from the palette. A style sheet should not give containers (group
// boxes, dialogs, panels) a background of their own: it becomes the palette of every control
// inside them, and the style draws check and radio indicators from those roles.

#include <QByteArray>
#include <QPalette>
#include <QString>

#include <optional>

namespace ostrel {

// Files larger than this are not skins; they are refused before they are read.
inline constexpr qint64 kMaxSkinFileSize = qint64(1) << 20;

struct TSkinDescription {
  QString Name;
  QPalette Palette;
  // The style sheet with every selector limited to the widgets a skin may restyle.
  QString StyleSheet;
};

// Checks and decodes the bytes of a skin file; nullopt with the reason in *error when they
// are not a valid skin.
std::optional<TSkinDescription> ParseSkin(const QByteArray& bytes, QString* error);

// Reads a skin file by its exact name (see ResolvePathNoCase for names in any case).
std::optional<TSkinDescription> ReadSkinFile(const QString& path, QString* error);

}  // namespace ostrel
