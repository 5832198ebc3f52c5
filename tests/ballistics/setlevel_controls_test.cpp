// The platform controls of the level settings window: spin button, LED panel, number edit
// and colour button. Each keeps its value in range and reports a change, from code or from
// the user, only when the value really changes.
#include "platform/MMColorButton.h"
#include "platform/MMLEDPanel.h"
#include "platform/MMNumberEdit.h"
#include "platform/MMSpinButton.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QToolButton>

#include <climits>

namespace ostrel {
namespace {

TEST(SpinButton, StepsAndSetValueStayInRangeAndReportOnlyChanges) {
  TMMSpinButton spin;
  spin.SetRange(-99, -1);
  EXPECT_EQ(spin.Value(), -1);  // 0 lies outside: pulled to the nearest limit
  int changes = 0;
  spin.OnChange = [&] { ++changes; };
  struct Step {
    const char* what;
    void (*act)(TMMSpinButton&);
    int value;
    int changes;
  };
  const Step steps[] = {
      {"set -40", [](TMMSpinButton& s) { s.SetValue(-40); }, -40, 1},
      {"set -40 again", [](TMMSpinButton& s) { s.SetValue(-40); }, -40, 1},
      {"up", [](TMMSpinButton& s) { s.UpButton()->click(); }, -39, 2},
      {"down", [](TMMSpinButton& s) { s.DownButton()->click(); }, -40, 3},
      {"set 0 clamps", [](TMMSpinButton& s) { s.SetValue(0); }, -1, 4},
      {"up at the top", [](TMMSpinButton& s) { s.UpButton()->click(); }, -1, 4},
      {"set -500 clamps", [](TMMSpinButton& s) { s.SetValue(-500); }, -99, 5},
      {"down at the bottom", [](TMMSpinButton& s) { s.DownButton()->click(); }, -99, 5},
      {"key up",
       [](TMMSpinButton& s) {
         QKeyEvent k(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
         QApplication::sendEvent(&s, &k);
       },
       -98, 6},
      {"page down at the bottom",
       [](TMMSpinButton& s) {
         QKeyEvent k(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
         QApplication::sendEvent(&s, &k);
       },
       -99, 7},
  };
  for (const Step& s : steps) {
    s.act(spin);
    EXPECT_EQ(spin.Value(), s.value) << s.what;
    EXPECT_EQ(changes, s.changes) << s.what;
  }
}

TEST(SpinButton, HugeStepsClampInsteadOfWrapping) {
  TMMSpinButton spin;
  spin.SetRange(INT_MIN, INT_MAX);
  spin.SetValue(INT_MAX - 1);
  spin.SetIncrement(INT_MAX);
  spin.UpButton()->click();
  EXPECT_EQ(spin.Value(), INT_MAX);
  spin.SetValue(INT_MIN + 1);
  spin.DownButton()->click();
  EXPECT_EQ(spin.Value(), INT_MIN);
}

TEST(LEDPanel, ClampsToItsRangeAndReportsOnlyChanges) {
  TMMLEDPanel panel;
  panel.SetRange(-100, 32768);
  int changes = 0;
  panel.OnChange = [&] { ++changes; };
  const std::pair<int, int> steps[] = {{351, 351}, {351, 351},   {40000, 32768},
                                       {-7, -7},   {-200, -100}, {-150, -100}};
  const int expectedChanges[] = {1, 1, 2, 3, 4, 4};
  for (int i = 0; i < 6; ++i) {
    panel.SetValue(steps[i].first);
    EXPECT_EQ(panel.Value(), steps[i].second) << i;
    EXPECT_EQ(panel.Text(), QString::number(steps[i].second)) << i;
    EXPECT_EQ(changes, expectedChanges[i]) << i;
  }
  panel.SetRange(0, 10);  // narrowing moves the value, which is a change
  EXPECT_EQ(panel.Value(), 0);
  EXPECT_EQ(changes, 5);
  panel.SetColor(clSilver);
  EXPECT_EQ(panel.Color(), clSilver);
}

void Type(QWidget* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
  }
}

void Key(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
}

TEST(NumberEdit, TypedNumbersAreTakenClampedWhenEditingEnds) {
  TMMNumberEdit edit;
  edit.SetRange(-99, -1);
  edit.SetValue(-40);
  EXPECT_EQ(edit.text(), "-40");
  int changes = 0;
  edit.OnChange = [&] { ++changes; };
  struct Step {
    const char* typed;
    int key;  // ends the edit (Return) or drops it (Escape)
    int value;
    const char* shown;
    int changes;
  };
  const Step steps[] = {
      {"-55", Qt::Key_Return, -55, "-55", 1},
      {"-55", Qt::Key_Return, -55, "-55", 1},  // same number: no change
      {"7", Qt::Key_Return, -1, "-1", 2},      // above the range
      {"-1234", Qt::Key_Return, -99, "-99", 3},
      {"-", Qt::Key_Return, -99, "-99", 3},    // not a number: the value comes back
      {"abc", Qt::Key_Return, -99, "-99", 3},  // letters cannot be typed
      {"-20", Qt::Key_Escape, -99, "-99", 3},  // dropped
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.typed);
    edit.selectAll();
    Type(&edit, QString::fromLatin1(s.typed));
    Key(&edit, s.key);
    EXPECT_EQ(edit.Value(), s.value);
    EXPECT_EQ(edit.text(), QString::fromLatin1(s.shown));
    EXPECT_EQ(changes, s.changes);
  }
  edit.SetValue(-99);  // from code: unchanged, nothing runs
  EXPECT_EQ(changes, 3);
  edit.SetValue(-3);
  EXPECT_EQ(edit.text(), "-3");
  EXPECT_EQ(changes, 4);
}

TEST(ColorButton, PaletteHoldsTheNamedColoursAndOther) {
  TMMColorButton button;
  const std::pair<const char*, TColor> named[] = {
      {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clTeal", 0x808000},   {"clSilver", 0xC0C0C0},
      {"clRed", 0x0000FF},   {"clLime", 0x00FF00},   {"clYellow", 0x00FFFF}, {"clAqua", 0xFFFF00},
      {"clWhite", 0xFFFFFF}, {"clCream", 0xF0FBFF},
  };
  const auto& palette = TMMColorButton::Palette();
  for (const auto& [name, colour] : named) {
    auto it = std::find_if(palette.begin(), palette.end(),
                           [&](const NamedColor& c) { return std::string(c.name) == name; });
    ASSERT_NE(it, palette.end()) << name;
    EXPECT_EQ(it->color, colour) << name;
  }
  EXPECT_EQ(button.OtherAction()->text(), "&Other...");
  EXPECT_TRUE(button.Menu()->actions().contains(button.OtherAction()));
}

TEST(ColorButton, ValueFromCodePaletteOrDialogReportsOnlyChanges) {
  TMMColorButton button;
  button.SetValue(clLime);
  int changes = 0;
  button.OnChange = [&] { ++changes; };
  TColor offered = 0;
  std::optional<TColor> answer;
  TMMColorButton::SetOtherChooser([&](TColor current, QWidget*) {
    offered = current;
    return answer;
  });
  const auto& palette = TMMColorButton::Palette();
  const int redIndex = int(std::find_if(palette.begin(), palette.end(),
                                        [](const NamedColor& c) { return c.color == clRed; }) -
                           palette.begin());

  struct Step {
    const char* what;
    std::function<void()> act;
    TColor value;
    int changes;
  };
  const Step steps[] = {
      {"same from code", [&] { button.SetValue(clLime); }, clLime, 0},
      {"palette red", [&] { button.Swatch(redIndex)->click(); }, clRed, 1},
      {"palette red again", [&] { button.Swatch(redIndex)->click(); }, clRed, 1},
      {"other, chosen",
       [&] {
         answer = 0x123456;
         button.OtherAction()->trigger();
       },
       0x123456, 2},
      {"other, cancelled",
       [&] {
         answer.reset();
         button.OtherAction()->trigger();
       },
       0x123456, 2},
      {"other, same colour",
       [&] {
         answer = 0x123456;
         button.OtherAction()->trigger();
       },
       0x123456, 2},
      {"from code", [&] { button.SetValue(clCream); }, clCream, 3},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(button.Value(), s.value) << s.what;
    EXPECT_EQ(changes, s.changes) << s.what;
  }
  EXPECT_EQ(offered, TColor(0x123456));  // the dialog opens on the current colour
  TMMColorButton::SetOtherChooser({});
}

}  // namespace
}  // namespace ostrel
