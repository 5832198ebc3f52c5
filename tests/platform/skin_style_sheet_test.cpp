// A skin's style sheet is limited to the widgets the engine marks as skinned, and what Qt
// itself cannot parse is refused rather than silently half-applied.
#include "platform/SkinStyleSheet.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(SkinStyleSheetTest, TheMarkGoesOnTheSubjectBeforeItsStatesAndSubControls) {
  struct Case {
    const char* selector;
    const char* scoped;
  } const cases[] = {
      {"QPushButton", "QPushButton[skinned=\"true\"]"},
      {"  QPushButton  ", "QPushButton[skinned=\"true\"]"},
      {"*", "*[skinned=\"true\"]"},
      {"QPushButton:hover", "QPushButton[skinned=\"true\"]:hover"},
      {"QMenu::item:selected", "QMenu[skinned=\"true\"]::item:selected"},
      {"QCheckBox:!hover", "QCheckBox[skinned=\"true\"]:!hover"},
      {"QGroupBox QRadioButton", "QGroupBox QRadioButton[skinned=\"true\"]"},
      {"QDialog > QPushButton:pressed", "QDialog > QPushButton[skinned=\"true\"]:pressed"},
      {"QDialog>QPushButton", "QDialog>QPushButton[skinned=\"true\"]"},
      {"QStatusBar\n  QLabel", "QStatusBar\n  QLabel[skinned=\"true\"]"},
      {"#Button2", "#Button2[skinned=\"true\"]"},
      {".QPushButton#ok", ".QPushButton#ok[skinned=\"true\"]"},
      // Colons and blanks inside an attribute value are no states and no combinators.
      {"QLabel[text=\"a: b\"]", "QLabel[text=\"a: b\"][skinned=\"true\"]"},
      {"QLabel[text=\"a: b\"]:hover", "QLabel[text=\"a: b\"][skinned=\"true\"]:hover"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selector);
    EXPECT_EQ(ScopeSelector(c.selector), c.scoped);
  }
}

TEST(SkinStyleSheetTest, ScopingKeepsEveryRuleDropsCommentsAndNormalisesDeclarations) {
  QString error;
  const auto scoped = ScopeStyleSheet(
      "/* buttons */ QPushButton, QToolButton:hover {color:red;;  BORDER : 1px solid blue }\n"
      "QLabel { font-family: \"Sans; {odd}\"; background: qlineargradient(x1:0, y1:0, x2:0, "
      "y2:1, stop:0 #fff, stop:1 #000); }",
      &error);
  ASSERT_TRUE(scoped) << error.toStdString();
  EXPECT_EQ(*scoped,
            "QPushButton[skinned=\"true\"],\n"
            "QToolButton[skinned=\"true\"]:hover {\n"
            "  color: red;\n"
            "  border: 1px solid blue;\n"
            "}\n"
            "QLabel[skinned=\"true\"] {\n"
            "  font-family: \"Sans; {odd}\";\n"
            "  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff, stop:1 #000);\n"
            "}\n");
  EXPECT_TRUE(QtAcceptsStyleSheet(*scoped));
}

TEST(SkinStyleSheetTest, SelectorsQtWouldSilentlyDropAreRefused) {
  struct Case {
    const char* sheet;
    const char* reason;
  } const cases[] = {
      {"QPushButton:hovr { color: red; }", "unknown state \":hovr\""},
      {"QScrollBar::handel { color: red; }", "unknown sub-control \"::handel\""},
      {"QPushButton::: { color: red; }", "unexpected character ':'"},
      {"QPushButton: { color: red; }", "unexpected end"},
      {"QPushButton[x y] { color: red; }", "unexpected character 'y'"},
      {"QPushButton[x=] { color: red; }", "unexpected character ']'"},
      {"QPushButton[x=\"y] { color: red; }", "unterminated string"},
      {"QPushButton#1 { color: red; }", "unexpected character '1'"},
      {"QPushButton.x { color: red; }", "unexpected character '.'"},
      {"QDialog >> QPushButton { color: red; }", "unexpected character '>'"},
      {"> QPushButton { color: red; }", "unexpected character '>'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sheet);
    QString error;
    EXPECT_FALSE(ScopeStyleSheet(c.sheet, &error));
    EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
  }
  // The grammar Qt does understand passes.
  QString error;
  EXPECT_TRUE(
      ScopeStyleSheet("QPushButton:!hover:checked, *, .QLabel#a[b~=\"c\"][d|=e], "
                      "QTabBar::tab:selected, QDialog > QGroupBox::title {}",
                      &error))
      << error.toStdString();
}

TEST(SkinStyleSheetTest, QtsOwnParserIsAskedToo) {
  EXPECT_TRUE(QtAcceptsStyleSheet("QPushButton { color: red; }"));
  EXPECT_TRUE(QtAcceptsStyleSheet(""));
  EXPECT_FALSE(QtAcceptsStyleSheet("QPushButton { color: red; "));
  EXPECT_FALSE(QtAcceptsStyleSheet("QPushButton { color: red; } }"));
}

}  // namespace
}  // namespace ostrel
