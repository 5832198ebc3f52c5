// The label editor: what it offers, what "Okay" puts on the strips and stores, and what a
// close by the frame drops.
#include "ProgramTestEnv.h"
#include "app/Settings.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "labels_skins/uLabels.h"
#include "platform/MMLEDLabel.h"

#include <gtest/gtest.h>
#include <QLineEdit>

namespace ostrel {
namespace {

class LabelEditorTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateWindowSet(); }
  void TearDown() override { DestroyWindowSet(); }
  test::ProgramTestEnv env_;
};

TEST_F(LabelEditorTest, FirstUseOffersNumbersAndOkayShowsAndStoresThem) {
  fLabels->show();
  for (int n = 1; n <= 24; ++n) EXPECT_EQ(fLabels->Edit[n]->text(), QString::number(n));
  fLabels->Button1Click();
  EXPECT_FALSE(fLabels->isVisible());
  EXPECT_EQ(fMain->Led(1)->Caption(), " 1");  // channel 1 behind a blank
  for (int n = 2; n <= 24; ++n) EXPECT_EQ(fMain->Led(n)->Caption(), QString::number(n));
  EXPECT_EQ(ReadString("Edit 1", "unset"), "1");  // stored without the blank
  EXPECT_EQ(ReadString("edit 24", "unset"), "24");
}

TEST_F(LabelEditorTest, LabelsAreKeptAsTypedWhateverTheirLengthAndCharacters) {
  struct Case {
    int channel;
    QString text;
  };
  const Case cases[] = {{1, "Kick"},       {2, "Vocal"},      {9, ""},
                        {16, "Gesang Ü1"}, {17, "L&R \"x\""}, {24, QString(300, 'x')}};
  fLabels->show();
  for (const Case& c : cases) fLabels->Edit[c.channel]->setText(c.text);
  fLabels->Button1Click();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.channel);
    EXPECT_EQ(fMain->Led(c.channel)->Caption(), (c.channel == 1 ? " " : "") + c.text);
    EXPECT_EQ(ReadString("Edit " + QString::number(c.channel), "unset"), c.text);
  }
  // Shown again, the editor offers what was stored.
  fLabels->Edit[2]->setText("zzz");
  fLabels->hide();
  fLabels->show();
  EXPECT_EQ(fLabels->Edit[2]->text(), "Vocal");
  EXPECT_EQ(fLabels->Edit[9]->text(), "");
}

TEST_F(LabelEditorTest, CloseByTheFrameDropsWhatWasTyped) {
  WriteString("Edit 3", "Git");
  fLabels->show();
  EXPECT_EQ(fLabels->Edit[3]->text(), "Git");
  fLabels->Edit[3]->setText("Bass");
  const QString before = fMain->Led(3)->Caption();
  fLabels->close();
  EXPECT_EQ(fMain->Led(3)->Caption(), before);
  EXPECT_EQ(ReadString("Edit 3", "unset"), "Git");
  fLabels->show();
  EXPECT_EQ(fLabels->Edit[3]->text(), "Git");
}

}  // namespace
}  // namespace ostrel
