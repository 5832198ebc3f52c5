// The radio group and the LED spin: changing them from code acts exactly like the user,
// and only when the value really changes.
#include "platform/MMLEDSpin.h"
#include "platform/RadioGroup.h"

#include <gtest/gtest.h>
#include <QRadioButton>

namespace ostrel {
namespace {

TEST(RadioGroup, SelectionFromCodeRunsTheHandlerOnlyOnChange) {
  TRadioGroup g(QStringLiteral(" Meter ballistics "));
  g.SetItems({"Nordic N9", "DIN 45406", "BBC Scale", "EBU Scale", "Digital PPM"});
  int clicks = 0;
  g.OnClick = [&] { ++clicks; };

  struct Step {
    int request;
    int expectedIndex;
    int expectedClicks;
  };
  const Step steps[] = {
      {1, 1, 1},    // plain selection
      {1, 1, 1},    // same entry again: nothing
      {8, 4, 2},    // past the end: the last entry
      {5, 4, 2},    // past the end again, already the last: nothing
      {-1, -1, 3},  // no selection
      {-7, -1, 3},  // below -1 is also no selection, unchanged
      {0, 0, 4},
  };
  for (const Step& s : steps) {
    g.SetItemIndex(s.request);
    EXPECT_EQ(g.ItemIndex(), s.expectedIndex) << "request " << s.request;
    EXPECT_EQ(clicks, s.expectedClicks) << "request " << s.request;
    for (int i = 0; i < g.Count(); ++i)
      EXPECT_EQ(g.Button(i)->isChecked(), i == s.expectedIndex) << "request " << s.request;
  }
}

TEST(RadioGroup, UserClickSelectsAndRunsTheHandlerOnce) {
  TRadioGroup g(QStringLiteral("mode"));
  g.SetItems({"2 Channels", "4 Channels", "8 Channels"});
  g.SetItemIndex(2);
  int clicks = 0;
  int seen = -2;
  g.OnClick = [&] {
    ++clicks;
    seen = g.ItemIndex();  // the handler already sees the new selection
  };
  g.Button(0)->click();
  EXPECT_EQ(g.ItemIndex(), 0);
  EXPECT_EQ(seen, 0);
  EXPECT_EQ(clicks, 1);
  g.Button(0)->click();  // clicking the selected entry changes nothing
  EXPECT_EQ(clicks, 1);
}

TEST(LEDSpin, ClampsAndReportsOnlyRealChanges) {
  TMMLEDSpin spin;
  spin.SetRange(0, 5);
  int changes = 0;
  spin.OnChange = [&] { ++changes; };

  spin.SetValue(3);
  EXPECT_EQ(spin.Value(), 3);
  EXPECT_EQ(changes, 1);
  spin.SetValue(3);
  EXPECT_EQ(changes, 1);
  spin.SetValue(99);  // clamped to the top
  EXPECT_EQ(spin.Value(), 5);
  EXPECT_EQ(changes, 2);
  spin.SetValue(6);  // clamps to 5 again: no change
  EXPECT_EQ(changes, 2);
  spin.SetValue(-4);
  EXPECT_EQ(spin.Value(), 0);
  EXPECT_EQ(changes, 3);
}

TEST(LEDSpin, NarrowedRangePullsTheValueInsideAndReportsIt) {
  TMMLEDSpin spin;
  spin.SetRange(-99, -1);
  EXPECT_EQ(spin.Value(), -1);  // 0 is outside: pulled to the nearest limit
  int changes = 0;
  spin.OnChange = [&] { ++changes; };
  spin.SetValue(-40);
  spin.SetRange(-30, -1);
  EXPECT_EQ(spin.Value(), -30);
  EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace ostrel
