// Reading a skin file: the palette it gives, what it derives, and every way a file can fail
// to be a skin (each is refused with a reason, never half-applied).
#include "platform/SkinFile.h"
#include "platform/SkinStyleSheet.h"
#include "platform/skin_test_support.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

namespace ostrel {
namespace {

using skintest::SkinText;
using skintest::WriteFile;

TEST(SkinFileTest, AValidSkinGivesItsNamePaletteAndScopedStyleSheet) {
  QString error;
  const auto skin = ParseSkin(SkinText(), &error);
  ASSERT_TRUE(skin) << error.toStdString();
  EXPECT_EQ(skin->Name, "Test Red");
  const QPalette& p = skin->Palette;
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
    EXPECT_EQ(p.color(g, QPalette::Window), QColor("#102030"));
    EXPECT_EQ(p.color(g, QPalette::WindowText), QColor("#f0e0d0"));
    EXPECT_EQ(p.color(g, QPalette::Base), QColor("#000000"));
    EXPECT_EQ(p.color(g, QPalette::Text), QColor("#ffffff"));
    EXPECT_EQ(p.color(g, QPalette::Button), QColor("#203040"));
    EXPECT_EQ(p.color(g, QPalette::ButtonText), QColor("#eeeeee"));
    EXPECT_EQ(p.color(g, QPalette::Highlight), QColor("#ff0000"));
    EXPECT_EQ(p.color(g, QPalette::HighlightedText), QColor("#000000"));
  }
  EXPECT_EQ(skin->StyleSheet,
            "QPushButton[skinned=\"true\"] {\n"
            "  background: #00ff00;\n"
            "  border: 1px solid #000000;\n"
            "}\n"
            "QLabel[skinned=\"true\"] {\n"
            "  color: #ff00ff;\n"
            "}\n");
}

TEST(SkinFileTest, MissingRolesAreDerivedAndGreyedTextStaysDistinct) {
  QString error;
  const auto skin = ParseSkin(SkinText(), &error);
  ASSERT_TRUE(skin);
  const QPalette& p = skin->Palette;
  // Tool tips and placeholders follow the text roles; greyed-out text lies between the text
  // and its ground (55 % of the way to the ground).
  EXPECT_EQ(p.color(QPalette::ToolTipBase), QColor("#000000"));
  EXPECT_EQ(p.color(QPalette::ToolTipText), QColor("#ffffff"));
  EXPECT_EQ(p.color(QPalette::PlaceholderText), QColor(128, 128, 128));
  EXPECT_EQ(p.color(QPalette::AlternateBase), QColor(15, 15, 15));
  EXPECT_EQ(p.color(QPalette::Disabled, QPalette::Text), QColor(115, 115, 115));
  EXPECT_EQ(p.color(QPalette::Disabled, QPalette::WindowText), QColor(117, 118, 120));
  EXPECT_NE(p.color(QPalette::Disabled, QPalette::ButtonText), p.color(QPalette::ButtonText));
}

TEST(SkinFileTest, OptionalRolesDisabledColoursCommentsAndCaseOfKeysAreHonoured) {
  QByteArray text = SkinText();
  text.replace("[StyleSheet]",
               "\n# optional roles\r\n  link = #123456  \nDisabledText = #aabbcc\n"
               "ToolTipBase = yellow\n[StyleSheet]");
  QString error;
  const auto skin = ParseSkin("\xEF\xBB\xBF" + text, &error);  // with a byte order mark
  ASSERT_TRUE(skin) << error.toStdString();
  EXPECT_EQ(skin->Palette.color(QPalette::Link), QColor("#123456"));
  EXPECT_EQ(skin->Palette.color(QPalette::Disabled, QPalette::Text), QColor("#aabbcc"));
  EXPECT_EQ(skin->Palette.color(QPalette::ToolTipBase), QColor(Qt::yellow));
}

TEST(SkinFileTest, AnEmptyStyleSheetIsAPaletteOnlySkin) {
  QString error;
  const auto skin = ParseSkin(SkinText("Plain", "#102030", ""), &error);
  ASSERT_TRUE(skin) << error.toStdString();
  EXPECT_TRUE(skin->StyleSheet.isEmpty());
}

TEST(SkinFileTest, FilesThatAreNoValidSkinAreRefusedWithTheirReason) {
  const QByteArray good = SkinText();
  const auto with = [&good](const char* from, const QByteArray& to) {
    QByteArray t = good;
    t.replace(from, to);
    return t;
  };
  const auto sheet = [](const char* css) {
    return SkinText("Test", "#102030", QString::fromUtf8(css));
  };
  QByteArray huge = good + QByteArray(kMaxSkinFileSize, ' ');
  struct Case {
    const char* what;
    QByteArray bytes;
    const char* reason;
  } const cases[] = {
      {"empty file", "", "not a skin file"},
      {"other text", "hello\nworld\n", "not a skin file"},
      {"binary", QByteArray("OstrelSkin 1\nName = X\0\x01\x02", 24), "control character"},
      {"not UTF-8", with("Test Red", "Caf\xE9"), "not UTF-8"},
      {"escape character", with("Test Red", "A\x1b[31m"), "control character"},
      {"over 1 MiB", huge, "too large"},
      {"unknown key", with("Window =", "Windw ="), "unknown key \"Windw\""},
      {"no key = value", with("# a test skin", "just words"), "expected \"Key = value\""},
      {"bad colour", with("#102030", "#10203g"), "not a colour"},
      {"colour twice", with("Base = #000000", "Base = #000000\nbase = #111111"), "given twice"},
      {"name twice", with("Name = Test Red", "Name = A\nName = B"), "Name given twice"},
      {"empty name", with("Name = Test Red", "Name ="), "Name must have"},
      {"long name", with("Test Red", QByteArray(65, 'n')), "Name must have"},
      {"no name", with("Name = Test Red\n", ""), "no Name"},
      {"required colour missing", with("Highlight = #ff0000\n", ""), "no Highlight colour"},
      {"no style sheet section", SkinText("T", "#102030", "").replace("[StyleSheet]\n", ""),
       "no [StyleSheet]"},
      {"unbalanced open brace", sheet("QPushButton { color: red;\n"), "missing '}'"},
      {"unbalanced close brace", sheet("QPushButton { color: red; } }"), "unbalanced '}'"},
      {"nested block", sheet("QPushButton { QLabel { color: red; } }"), "nested"},
      {"selector without block", sheet("QPushButton"), "without a rule block"},
      {"unterminated comment", sheet("/* QPushButton { color: red; }"), "unterminated comment"},
      {"unterminated string", sheet("QPushButton { font-family: \"Sans; }\n"),
       "unterminated string"},
      {"unknown property", sheet("QPushButton { colour: red; }"), "unknown property \"colour\""},
      {"behaviour property", sheet("QPushButton { qproperty-text: \"x\"; }"), "unknown property"},
      {"external image", sheet("QPushButton { image: url(/etc/passwd); }"), "url"},
      {"at-rule", sheet("@media screen { QPushButton { color: red; } }"), "at-rules"},
      {"declaration without colon", sheet("QPushButton { color red; }"), "without ':'"},
      {"empty value", sheet("QPushButton { color: ; }"), "without a value"},
      {"unbalanced parentheses", sheet("QPushButton { background: qlineargradient(x1:0; }"),
       "parentheses"},
      {"bad selector character", sheet("QPushButton$ { color: red; }"), "unexpected character"},
      {"empty selector in a list", sheet("QPushButton, { color: red; }"), "empty selector"},
      {"semicolon outside a rule", sheet("color: red;"), "outside a rule"},
      {"dangling combinator", sheet("QGroupBox > { color: red; }"), "dangling"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QString error;
    EXPECT_FALSE(ParseSkin(c.bytes, &error));
    EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
  }
}

TEST(SkinFileTest, ReadingRefusesWhatIsNoRegularFileOrTooLargeBeforeReadingIt) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString good = dir.path() + "/good.skn";
  ASSERT_TRUE(WriteFile(good, SkinText()));
  QString error;
  EXPECT_TRUE(ReadSkinFile(good, &error)) << error.toStdString();

  // A sparse file far over the limit: refused by its size, without reading 64 MiB.
  const QString big = dir.path() + "/big.skn";
  {
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(64 << 20));
  }
  struct Case {
    QString path;
    const char* reason;
  } const cases[] = {
      {dir.path() + "/missing.skn", "no such file"},
      {dir.path(), "not a regular file"},
      {"/dev/zero", "not a regular file"},
      {big, "too large"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    EXPECT_FALSE(ReadSkinFile(c.path, &error));
    EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
  }
}

}  // namespace
}  // namespace ostrel
