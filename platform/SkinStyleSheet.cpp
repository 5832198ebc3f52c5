#include "platform/SkinStyleSheet.h"

#include <QSet>
#include <QStringList>
#include <QWidget>

#include <cstdio>

namespace ostrel {

namespace {

// The properties Qt style sheets understand (Qt 6 reference list). Anything else is a typo
// or a property of another engine; "qproperty-*" is left out on purpose: a skin changes the
// look, not the behaviour of the program's controls.
const QSet<QString>& KnownProperties() {
  static const QSet<QString> known = {"alternate-background-color",
                                      "background",
                                      "background-color",
                                      "background-image",
                                      "background-repeat",
                                      "background-position",
                                      "background-attachment",
                                      "background-clip",
                                      "background-origin",
                                      "border",
                                      "border-top",
                                      "border-right",
                                      "border-bottom",
                                      "border-left",
                                      "border-color",
                                      "border-top-color",
                                      "border-right-color",
                                      "border-bottom-color",
                                      "border-left-color",
                                      "border-image",
                                      "border-radius",
                                      "border-top-left-radius",
                                      "border-top-right-radius",
                                      "border-bottom-right-radius",
                                      "border-bottom-left-radius",
                                      "border-style",
                                      "border-top-style",
                                      "border-right-style",
                                      "border-bottom-style",
                                      "border-left-style",
                                      "border-width",
                                      "border-top-width",
                                      "border-right-width",
                                      "border-bottom-width",
                                      "border-left-width",
                                      "bottom",
                                      "button-layout",
                                      "color",
                                      "dialogbuttonbox-buttons-have-icons",
                                      "font",
                                      "font-family",
                                      "font-size",
                                      "font-style",
                                      "font-weight",
                                      "gridline-color",
                                      "height",
                                      "icon",
                                      "icon-size",
                                      "image",
                                      "image-position",
                                      "left",
                                      "lineedit-password-character",
                                      "lineedit-password-mask-delay",
                                      "margin",
                                      "margin-top",
                                      "margin-right",
                                      "margin-bottom",
                                      "margin-left",
                                      "max-height",
                                      "max-width",
                                      "messagebox-text-interaction-flags",
                                      "min-height",
                                      "min-width",
                                      "opacity",
                                      "outline",
                                      "outline-color",
                                      "outline-offset",
                                      "outline-style",
                                      "outline-radius",
                                      "outline-bottom-left-radius",
                                      "outline-bottom-right-radius",
                                      "outline-top-left-radius",
                                      "outline-top-right-radius",
                                      "padding",
                                      "padding-top",
                                      "padding-right",
                                      "padding-bottom",
                                      "padding-left",
                                      "paint-alternating-row-colors-for-empty-area",
                                      "position",
                                      "right",
                                      "selection-background-color",
                                      "selection-color",
                                      "show-decoration-selected",
                                      "spacing",
                                      "subcontrol-origin",
                                      "subcontrol-position",
                                      "titlebar-show-tooltips-on-buttons",
                                      "widget-animation-duration",
                                      "text-align",
                                      "text-decoration",
                                      "top",
                                      "width",
                                      "-qt-background-role",
                                      "-qt-style-features"};
  return known;
}

bool IsQuote(QChar c) {
  return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// Replaces comments by a blank; strings are kept as they are. Fails on an unterminated
// comment or string (a string may not run over the end of its line).
std::optional<QString> StripComments(const QString& s, QString* error) {
  QString out;
  out.reserve(s.size());
  QChar quote;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (!quote.isNull()) {
      if (c == QLatin1Char('\n')) break;
      out += c;
      if (c == QLatin1Char('\\') && i + 1 < s.size()) {
        out += s[++i];
      } else if (c == quote) {
        quote = QChar();
      }
      continue;
    }
    if (c == QLatin1Char('/') && i + 1 < s.size() && s[i + 1] == QLatin1Char('*')) {
      const qsizetype end = s.indexOf(QLatin1String("*/"), i + 2);
      if (end < 0) {
        *error = QStringLiteral("unterminated comment");
        return std::nullopt;
      }
      out += QLatin1Char(' ');
      i = end + 1;
      continue;
    }
    if (IsQuote(c)) quote = c;
    out += c;
  }
  if (!quote.isNull()) {
    *error = QStringLiteral("unterminated string");
    return std::nullopt;
  }
  return out;
}

// Splits at `sep` where it is outside quotes, brackets and parentheses.
QStringList SplitTopLevel(const QString& s, QChar sep) {
  QStringList parts;
  QString current;
  QChar quote;
  int depth = 0;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (!quote.isNull()) {
      current += c;
      if (c == QLatin1Char('\\') && i + 1 < s.size()) {
        current += s[++i];
      } else if (c == quote) {
        quote = QChar();
      }
      continue;
    }
    if (IsQuote(c)) quote = c;
    if (c == QLatin1Char('(') || c == QLatin1Char('[')) ++depth;
    if (c == QLatin1Char(')') || c == QLatin1Char(']')) --depth;
    if (c == sep && depth == 0) {
      parts << current;
      current.clear();
    } else {
      current += c;
    }
  }
  parts << current;
  return parts;
}

// Pseudo-states and sub-controls Qt style sheets know. Qt drops a rule with any other name
// without a word; a skin with such a typo is refused instead.
const QSet<QString>& KnownStates() {
  static const QSet<QString> known = {"active",
                                      "adjoins-item",
                                      "alternate",
                                      "bottom",
                                      "checked",
                                      "closable",
                                      "closed",
                                      "default",
                                      "disabled",
                                      "editable",
                                      "edit-focus",
                                      "enabled",
                                      "exclusive",
                                      "first",
                                      "flat",
                                      "floatable",
                                      "focus",
                                      "has-children",
                                      "has-siblings",
                                      "horizontal",
                                      "hover",
                                      "indeterminate",
                                      "last",
                                      "left",
                                      "maximized",
                                      "middle",
                                      "minimized",
                                      "movable",
                                      "no-frame",
                                      "non-exclusive",
                                      "off",
                                      "on",
                                      "only-one",
                                      "open",
                                      "next-selected",
                                      "pressed",
                                      "previous-selected",
                                      "read-only",
                                      "right",
                                      "selected",
                                      "top",
                                      "unchecked",
                                      "vertical",
                                      "window"};
  return known;
}

const QSet<QString>& KnownSubControls() {
  static const QSet<QString> known = {
      "add-line",    "add-page",       "branch",      "chunk",        "close-button", "corner",
      "down-arrow",  "down-button",    "drop-down",   "float-button", "groove",       "indicator",
      "handle",      "icon",           "item",        "left-arrow",   "left-corner",  "menu-arrow",
      "menu-button", "menu-indicator", "right-arrow", "pane",         "right-corner", "scroller",
      "section",     "separator",      "sub-line",    "sub-page",     "tab",          "tab-bar",
      "tear",        "tearoff",        "text",        "title",        "up-arrow",     "up-button"};
  return known;
}

bool IsIdentStart(QChar c) {
  return c.unicode() < 128 && (c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('-'));
}
bool IsIdentChar(QChar c) {
  return IsIdentStart(c) || (c.unicode() < 128 && c.isDigit());
}

// Checks one selector against the grammar Qt understands: compound selectors (type or '*',
// then #name, [property], [property="value"], :state, :!state, ::sub-control) joined by
// blanks or '>'.
bool ValidSelector(const QString& sel, QString* error) {
  if (sel.isEmpty()) {
    *error = QStringLiteral("empty selector");
    return false;
  }
  const qsizetype n = sel.size();
  qsizetype i = 0;
  const auto fail = [&](const QString& why) {
    *error = QStringLiteral("%1 in selector \"%2\"").arg(why, sel);
    return false;
  };
  const auto unexpected = [&]() {
    return fail(i < n ? QStringLiteral("unexpected character '%1'").arg(sel[i])
                      : QStringLiteral("unexpected end"));
  };
  const auto ident = [&](QString* out) {
    const qsizetype start = i;
    if (i < n && IsIdentStart(sel[i])) {
      while (i < n && IsIdentChar(sel[i])) ++i;
    }
    *out = sel.mid(start, i - start);
    return !out->isEmpty();
  };
  const auto skipBlanks = [&]() {
    const qsizetype start = i;
    while (i < n && sel[i].isSpace()) ++i;
    return i > start;
  };

  QString name;
  while (true) {
    int parts = 0;
    if (i < n && sel[i] == QLatin1Char('*')) {
      ++i;
      ++parts;
    } else if (i < n && sel[i] == QLatin1Char('.')) {
      ++i;
      if (!ident(&name)) return unexpected();
      ++parts;
    } else if (ident(&name)) {
      ++parts;
    }
    while (i < n) {
      const QChar c = sel[i];
      if (c == QLatin1Char('#')) {
        ++i;
        if (!ident(&name)) return unexpected();
      } else if (c == QLatin1Char('[')) {
        ++i;
        skipBlanks();
        if (!ident(&name)) return unexpected();
        skipBlanks();
        if (i < n && sel[i] != QLatin1Char(']')) {
          if (sel[i] == QLatin1Char('~') || sel[i] == QLatin1Char('|')) ++i;
          if (i >= n || sel[i] != QLatin1Char('=')) return unexpected();
          ++i;
          skipBlanks();
          if (i < n && IsQuote(sel[i])) {
            const QChar quote = sel[i++];
            while (i < n && sel[i] != quote) i += sel[i] == QLatin1Char('\\') ? 2 : 1;
            if (i >= n) return fail(QStringLiteral("unterminated string"));
            ++i;
          } else if (!ident(&name)) {
            return unexpected();
          }
          skipBlanks();
        }
        if (i >= n || sel[i] != QLatin1Char(']')) return unexpected();
        ++i;
      } else if (c == QLatin1Char(':')) {
        ++i;
        const bool subControl = i < n && sel[i] == QLatin1Char(':');
        if (subControl) ++i;
        if (!subControl && i < n && sel[i] == QLatin1Char('!')) ++i;
        if (!ident(&name)) return unexpected();
        if (subControl && !KnownSubControls().contains(name.toLower())) {
          return fail(QStringLiteral("unknown sub-control \"::%1\"").arg(name));
        }
        if (!subControl && !KnownStates().contains(name.toLower())) {
          return fail(QStringLiteral("unknown state \":%1\"").arg(name));
        }
      } else {
        break;
      }
      ++parts;
    }
    if (parts == 0) return unexpected();
    const bool blank = skipBlanks();
    if (i == n) return true;
    if (sel[i] == QLatin1Char('>')) {
      ++i;
      skipBlanks();
      if (i == n) return fail(QStringLiteral("dangling '>'"));
    } else if (!blank) {
      return unexpected();
    }
  }
}

bool BalancedParentheses(const QString& value) {
  int depth = 0;
  QChar quote;
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    if (!quote.isNull()) {
      if (c == QLatin1Char('\\'))
        ++i;
      else if (c == quote)
        quote = QChar();
      continue;
    }
    if (IsQuote(c)) quote = c;
    if (c == QLatin1Char('(')) ++depth;
    if (c == QLatin1Char(')') && --depth < 0) return false;
  }
  return depth == 0;
}

// One "name: value" declaration, checked; the result is written back normalised.
std::optional<QString> CheckDeclaration(const QString& decl, QString* error) {
  const qsizetype colon = decl.indexOf(QLatin1Char(':'));
  if (colon < 0) {
    *error = QStringLiteral("declaration without ':' (\"%1\")").arg(decl);
    return std::nullopt;
  }
  const QString name = decl.left(colon).trimmed().toLower();
  const QString value = decl.mid(colon + 1).trimmed();
  if (!KnownProperties().contains(name)) {
    *error = QStringLiteral("unknown property \"%1\"").arg(name);
    return std::nullopt;
  }
  if (value.isEmpty()) {
    *error = QStringLiteral("property \"%1\" without a value").arg(name);
    return std::nullopt;
  }
  if (!BalancedParentheses(value)) {
    *error = QStringLiteral("unbalanced parentheses in \"%1\"").arg(name);
    return std::nullopt;
  }
  // A skin is one self-contained file: no images or other files are read on its behalf.
  if (value.contains(QLatin1String("url("), Qt::CaseInsensitive)) {
    *error = QStringLiteral("external files (url) are not allowed in a skin");
    return std::nullopt;
  }
  return name + QStringLiteral(": ") + value + QLatin1Char(';');
}

// Collects Qt's complaints about a style sheet while a probe widget is polished.
QStringList* g_complaints = nullptr;
QtMessageHandler g_previousHandler = nullptr;

void CapturingHandler(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
  if (g_complaints && type == QtWarningMsg && msg.startsWith(QLatin1String("Could not parse"))) {
    g_complaints->append(msg);
    return;
  }
  if (g_previousHandler) {
    g_previousHandler(type, context, msg);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(msg));
  }
}

}  // namespace

QString ScopeSelector(const QString& selector) {
  const QString sel = selector.trimmed();
  qsizetype subjectStart = 0;
  QChar quote;
  int brackets = 0;
  for (qsizetype i = 0; i < sel.size(); ++i) {
    const QChar c = sel[i];
    if (!quote.isNull()) {
      if (c == QLatin1Char('\\'))
        ++i;
      else if (c == quote)
        quote = QChar();
      continue;
    }
    if (IsQuote(c))
      quote = c;
    else if (c == QLatin1Char('['))
      ++brackets;
    else if (c == QLatin1Char(']'))
      --brackets;
    else if (brackets == 0 && (c.isSpace() || c == QLatin1Char('>')))
      subjectStart = i + 1;
  }
  qsizetype insertAt = sel.size();
  brackets = 0;
  quote = QChar();
  for (qsizetype i = subjectStart; i < sel.size(); ++i) {
    const QChar c = sel[i];
    if (!quote.isNull()) {
      if (c == QLatin1Char('\\'))
        ++i;
      else if (c == quote)
        quote = QChar();
      continue;
    }
    if (IsQuote(c))
      quote = c;
    else if (c == QLatin1Char('['))
      ++brackets;
    else if (c == QLatin1Char(']'))
      --brackets;
    else if (brackets == 0 && c == QLatin1Char(':')) {
      insertAt = i;
      break;
    }
  }
  const QString mark = QStringLiteral("[%1=\"true\"]").arg(QLatin1String(kSkinnedProperty));
  QString scoped = sel;
  scoped.insert(insertAt, mark);
  return scoped;
}

std::optional<QString> ScopeStyleSheet(const QString& sheet, QString* error) {
  QString ignored;
  if (!error) error = &ignored;
  const std::optional<QString> stripped = StripComments(sheet, error);
  if (!stripped) return std::nullopt;
  const QString& text = *stripped;

  QString out;
  const qsizetype n = text.size();
  qsizetype i = 0;
  int ruleCount = 0;
  while (true) {
    while (i < n && text[i].isSpace()) ++i;
    if (i == n) break;

    // Selector list, up to the opening brace.
    const qsizetype selStart = i;
    QChar quote;
    int brackets = 0;
    for (; i < n; ++i) {
      const QChar c = text[i];
      if (!quote.isNull()) {
        if (c == QLatin1Char('\\'))
          ++i;
        else if (c == quote)
          quote = QChar();
        continue;
      }
      if (IsQuote(c))
        quote = c;
      else if (c == QLatin1Char('['))
        ++brackets;
      else if (c == QLatin1Char(']'))
        --brackets;
      else if (c == QLatin1Char('{') && brackets == 0)
        break;
      else if (c == QLatin1Char('}')) {
        *error = QStringLiteral("unbalanced '}'");
        return std::nullopt;
      } else if (c == QLatin1Char(';')) {
        *error = QStringLiteral("';' outside a rule");
        return std::nullopt;
      } else if (c == QLatin1Char('@')) {
        *error = QStringLiteral("at-rules are not supported");
        return std::nullopt;
      }
    }
    if (i >= n) {
      *error = QStringLiteral("selector without a rule block");
      return std::nullopt;
    }
    const QString selectorText = text.mid(selStart, i - selStart);
    ++i;  // past '{'

    // Declarations, up to the closing brace; no nesting.
    const qsizetype bodyStart = i;
    int parens = 0;
    quote = QChar();
    for (; i < n; ++i) {
      const QChar c = text[i];
      if (!quote.isNull()) {
        if (c == QLatin1Char('\\'))
          ++i;
        else if (c == quote)
          quote = QChar();
        continue;
      }
      if (IsQuote(c))
        quote = c;
      else if (c == QLatin1Char('('))
        ++parens;
      else if (c == QLatin1Char(')'))
        --parens;
      else if (c == QLatin1Char('{')) {
        *error = QStringLiteral("nested '{' in a rule");
        return std::nullopt;
      } else if (c == QLatin1Char('}'))
        break;
    }
    if (i >= n) {
      *error = QStringLiteral("missing '}'");
      return std::nullopt;
    }
    const QString body = text.mid(bodyStart, i - bodyStart);
    ++i;  // past '}'

    QStringList scoped;
    for (const QString& raw : SplitTopLevel(selectorText, QLatin1Char(','))) {
      const QString sel = raw.trimmed();
      if (!ValidSelector(sel, error)) return std::nullopt;
      scoped << ScopeSelector(sel);
    }
    QStringList declarations;
    for (const QString& raw : SplitTopLevel(body, QLatin1Char(';'))) {
      const QString decl = raw.trimmed();
      if (decl.isEmpty()) continue;
      const std::optional<QString> checked = CheckDeclaration(decl, error);
      if (!checked) return std::nullopt;
      declarations << *checked;
    }
    out += scoped.join(QStringLiteral(",\n")) + QStringLiteral(" {\n");
    for (const QString& d : declarations) out += QStringLiteral("  ") + d + QLatin1Char('\n');
    out += QStringLiteral("}\n");
    ++ruleCount;
  }

  if (ruleCount > 0 && !QtAcceptsStyleSheet(out)) {
    *error = QStringLiteral("Qt cannot parse the style sheet");
    return std::nullopt;
  }
  return out;
}

bool QtAcceptsStyleSheet(const QString& sheet) {
  if (sheet.trimmed().isEmpty()) return true;
  QStringList complaints;
  g_complaints = &complaints;
  g_previousHandler = qInstallMessageHandler(CapturingHandler);
  {
    QWidget probe;
    probe.setStyleSheet(sheet);
    probe.ensurePolished();
  }
  qInstallMessageHandler(g_previousHandler);
  g_complaints = nullptr;
  g_previousHandler = nullptr;
  return complaints.isEmpty();
}

}  // namespace ostrel
