#pragma once
// The style sheet part of a skin: checked strictly before it may restyle the program, and
// limited to the widgets the skin is allowed to touch.
//
// Qt's own style sheet parser is lenient: it drops what it does not understand without a
// word. A skin with a typo would then look half-finished, and a damaged file could restyle
// anything. So a skin's sheet must pass our own parser first (plain rules only: no nesting,
// no at-rules, no external images, no properties Qt does not know), and then Qt's.

#include <QString>

#include <optional>

namespace ostrel {

// The dynamic property the skin engine sets on every widget it may restyle ("true"), and
// to "false" on the widgets it must leave alone. Qt style sheets have no negation, so the
// engine scopes every rule of a skin to the widgets that carry the mark.
inline constexpr const char* kSkinnedProperty = "skinned";

// Adds the skinned mark to the subject (last compound) of one selector, before its
// pseudo-states and sub-controls: "QMenu::item:selected" ->
// "QMenu[skinned="true"]::item:selected".
QString ScopeSelector(const QString& selector);

// Checks a skin's style sheet and returns it with every selector scoped to skinned widgets,
// or nullopt with the reason in *error.
std::optional<QString> ScopeStyleSheet(const QString& sheet, QString* error);

// True when Qt's style sheet parser accepts `sheet` without complaint. Needs a QApplication.
bool QtAcceptsStyleSheet(const QString& sheet);

}  // namespace ostrel
