#include "platform/SkinFile.h"

#include "platform/SkinStyleSheet.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QStringList>

#include <array>

namespace ostrel {

namespace {

constexpr QLatin1String kMagic("OstrelSkin 1");
constexpr QLatin1String kStyleSheetSection("[StyleSheet]");
constexpr QLatin1String kDisabledPrefix("Disabled");
constexpr int kMaxNameLength = 64;

struct RoleName {
  QPalette::ColorRole role;
  const char* name;
};
constexpr std::array<RoleName, 20> kRoles = {{
    {QPalette::Window, "Window"},
    {QPalette::WindowText, "WindowText"},
    {QPalette::Base, "Base"},
    {QPalette::AlternateBase, "AlternateBase"},
    {QPalette::Text, "Text"},
    {QPalette::Button, "Button"},
    {QPalette::ButtonText, "ButtonText"},
    {QPalette::BrightText, "BrightText"},
    {QPalette::Highlight, "Highlight"},
    {QPalette::HighlightedText, "HighlightedText"},
    {QPalette::ToolTipBase, "ToolTipBase"},
    {QPalette::ToolTipText, "ToolTipText"},
    {QPalette::PlaceholderText, "PlaceholderText"},
    {QPalette::Light, "Light"},
    {QPalette::Midlight, "Midlight"},
    {QPalette::Mid, "Mid"},
    {QPalette::Dark, "Dark"},
    {QPalette::Shadow, "Shadow"},
    {QPalette::Link, "Link"},
    {QPalette::LinkVisited, "LinkVisited"},
}};
constexpr std::array<QPalette::ColorRole, 8> kRequired = {
    QPalette::Window, QPalette::WindowText, QPalette::Base,      QPalette::Text,
    QPalette::Button, QPalette::ButtonText, QPalette::Highlight, QPalette::HighlightedText};

std::optional<QPalette::ColorRole> RoleByName(QStringView name) {
  for (const RoleName& r : kRoles) {
    if (name.compare(QLatin1String(r.name), Qt::CaseInsensitive) == 0) return r.role;
  }
  return std::nullopt;
}

QString NameOfRole(QPalette::ColorRole role) {
  for (const RoleName& r : kRoles) {
    if (r.role == role) return QLatin1String(r.name);
  }
  return {};
}

QColor Mix(const QColor& a, const QColor& b, double towardB) {
  const auto mix = [towardB](int x, int y) { return int(x + (y - x) * towardB + 0.5); };
  return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

using RoleColors = QHash<int, QColor>;

// Fills in the roles a skin leaves out from the ones it gives, so that every skin yields a
// complete, readable palette, including greyed-out text that still differs from its ground.
QPalette BuildPalette(const RoleColors& given, const RoleColors& disabled) {
  const auto at = [&given](QPalette::ColorRole r) { return given.value(r); };
  QPalette pal(at(QPalette::Button), at(QPalette::Window));
  RoleColors all = given;
  const auto fallback = [&all](QPalette::ColorRole r, const QColor& c) {
    if (!all.contains(r)) all.insert(r, c);
  };
  fallback(QPalette::AlternateBase, Mix(at(QPalette::Base), at(QPalette::Text), 0.06));
  fallback(QPalette::ToolTipBase, at(QPalette::Base));
  fallback(QPalette::ToolTipText, at(QPalette::Text));
  fallback(QPalette::PlaceholderText, Mix(at(QPalette::Text), at(QPalette::Base), 0.5));
  fallback(QPalette::Link, at(QPalette::Highlight));
  fallback(QPalette::LinkVisited, Mix(at(QPalette::Highlight), at(QPalette::Text), 0.35));
  for (auto it = all.cbegin(); it != all.cend(); ++it) {
    const auto role = QPalette::ColorRole(it.key());
    pal.setColor(QPalette::Active, role, it.value());
    pal.setColor(QPalette::Inactive, role, it.value());
    pal.setColor(QPalette::Disabled, role, it.value());
  }
  const auto greyed = [&](QPalette::ColorRole text, QPalette::ColorRole ground) {
    pal.setColor(QPalette::Disabled, text, Mix(all.value(text), all.value(ground), 0.55));
  };
  greyed(QPalette::WindowText, QPalette::Window);
  greyed(QPalette::Text, QPalette::Base);
  greyed(QPalette::ButtonText, QPalette::Button);
  pal.setColor(QPalette::Disabled, QPalette::Highlight,
               Mix(all.value(QPalette::Highlight), all.value(QPalette::Window), 0.5));
  for (auto it = disabled.cbegin(); it != disabled.cend(); ++it) {
    pal.setColor(QPalette::Disabled, QPalette::ColorRole(it.key()), it.value());
  }
  return pal;
}

std::optional<TSkinDescription> Fail(QString* error, const QString& why) {
  if (error) *error = why;
  return std::nullopt;
}

}  // namespace

std::optional<TSkinDescription> ParseSkin(const QByteArray& bytes, QString* error) {
  if (bytes.size() > kMaxSkinFileSize) return Fail(error, QStringLiteral("file too large"));

  QStringDecoder decode(QStringDecoder::Utf8);
  QString text = decode(bytes);
  if (decode.hasError()) return Fail(error, QStringLiteral("not UTF-8 text"));
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  for (const QChar c : std::as_const(text)) {
    if (c.category() == QChar::Other_Control && c != QLatin1Char('\n') && c != QLatin1Char('\r') &&
        c != QLatin1Char('\t')) {
      return Fail(error, QStringLiteral("control character U+%1 in the file")
                             .arg(c.unicode(), 4, 16, QLatin1Char('0')));
    }
  }

  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
  }
  if (lines.isEmpty() || lines.first().trimmed() != kMagic) {
    return Fail(error, QStringLiteral("not a skin file (first line must be \"%1\")").arg(kMagic));
  }

  TSkinDescription skin;
  RoleColors colors, disabled;
  bool nameSeen = false;
  qsizetype sheetStart = -1;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QString line = lines[i].trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    if (line == kStyleSheetSection) {
      sheetStart = i + 1;
      break;
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) return Fail(error, QStringLiteral("line %1: expected \"Key = value\"").arg(i + 1));
    const QString key = line.left(eq).trimmed();
    const QString value = line.mid(eq + 1).trimmed();
    if (key.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0) {
      if (nameSeen) return Fail(error, QStringLiteral("line %1: Name given twice").arg(i + 1));
      if (value.isEmpty() || value.size() > kMaxNameLength) {
        return Fail(error, QStringLiteral("line %1: Name must have 1 to %2 characters")
                               .arg(i + 1)
                               .arg(kMaxNameLength));
      }
      skin.Name = value;
      nameSeen = true;
      continue;
    }
    const bool isDisabled = key.startsWith(kDisabledPrefix, Qt::CaseInsensitive) &&
                            RoleByName(QStringView(key).mid(kDisabledPrefix.size()));
    const std::optional<QPalette::ColorRole> role =
        isDisabled ? RoleByName(QStringView(key).mid(kDisabledPrefix.size())) : RoleByName(key);
    if (!role)
      return Fail(error, QStringLiteral("line %1: unknown key \"%2\"").arg(i + 1).arg(key));
    RoleColors& target = isDisabled ? disabled : colors;
    if (target.contains(*role)) {
      return Fail(error, QStringLiteral("line %1: \"%2\" given twice").arg(i + 1).arg(key));
    }
    const QColor color = QColor::fromString(value);
    if (!color.isValid()) {
      return Fail(error, QStringLiteral("line %1: \"%2\" is not a colour").arg(i + 1).arg(value));
    }
    target.insert(*role, color);
  }
  if (sheetStart < 0) return Fail(error, QStringLiteral("no [StyleSheet] section"));
  if (!nameSeen) return Fail(error, QStringLiteral("no Name"));
  for (QPalette::ColorRole r : kRequired) {
    if (!colors.contains(r)) return Fail(error, QStringLiteral("no %1 colour").arg(NameOfRole(r)));
  }
  skin.Palette = BuildPalette(colors, disabled);

  QString why;
  const std::optional<QString> sheet =
      ScopeStyleSheet(lines.mid(sheetStart).join(QLatin1Char('\n')), &why);
  if (!sheet) return Fail(error, QStringLiteral("style sheet: ") + why);
  skin.StyleSheet = *sheet;
  return skin;
}

std::optional<TSkinDescription> ReadSkinFile(const QString& path, QString* error) {
  const QFileInfo info(path);
  if (!info.exists()) return Fail(error, QStringLiteral("no such file"));
  if (!info.isFile()) return Fail(error, QStringLiteral("not a regular file"));
  if (info.size() > kMaxSkinFileSize) return Fail(error, QStringLiteral("file too large"));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return Fail(error, file.errorString());
  // Read one byte past the limit: a file that grew since it was measured is still refused.
  const QByteArray bytes = file.read(kMaxSkinFileSize + 1);
  if (file.error() != QFileDevice::NoError) return Fail(error, file.errorString());
  return ParseSkin(bytes, error);
}

}  // namespace ostrel
