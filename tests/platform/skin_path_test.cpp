// File names are matched without regard to case: a skin list that says "iTunes.SKN" and a
// start-up that asks for "iTunes.skn" find the same file.
#include "platform/CaseInsensitivePath.h"
#include "platform/ProgramFolder.h"
#include "platform/skin_test_support.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace ostrel {
namespace {

using skintest::WriteFile;

class SkinPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    root_ = dir_.path();
    ASSERT_TRUE(WriteFile(root_ + "/skins/iTunes.SKN", "a"));
    ASSERT_TRUE(WriteFile(root_ + "/skins/mxskin20.skn", "b"));
    ASSERT_TRUE(WriteFile(root_ + "/Deep/Er/File.Txt", "c"));
    // Two spellings of one name: the first in name order is taken.
    ASSERT_TRUE(WriteFile(root_ + "/twins/b.txt", "lower"));
    ASSERT_TRUE(WriteFile(root_ + "/twins/B.TXT", "upper"));
  }
  QTemporaryDir dir_;
  QString root_;
};

TEST_F(SkinPathTest, EveryComponentIsMatchedWithoutRegardToCase) {
  struct Case {
    const char* asked;
    const char* found;  // relative to the root; empty: no such file
  } const cases[] = {
      {"/skins/iTunes.SKN", "/skins/iTunes.SKN"},  // exact
      {"/skins/iTunes.skn", "/skins/iTunes.SKN"},  // the name the program starts with
      {"/SKINS/itunes.skn", "/skins/iTunes.SKN"},  // folder and file
      {"/skins/MXSKIN20.SKN", "/skins/mxskin20.skn"},
      {"/deep/er/file.txt", "/Deep/Er/File.Txt"},   // every level
      {"/DEEP/ER", "/Deep/Er"},                     // a folder
      {"/skins//iTunes.skn", "/skins/iTunes.SKN"},  // doubled separator
      {"/skins/./iTunes.skn", "/skins/./iTunes.SKN"},
      {"/skins/../SKINS/itunes.skn", "/skins/../skins/iTunes.SKN"},
      {"/twins/b.txt", "/twins/b.txt"},  // exact wins over a variant
      {"/twins/B.txt", "/twins/B.TXT"},  // 'B' sorts before 'b'
      {"/skins/mxskin99.skn", ""},       // missing file
      {"/nothing/iTunes.skn", ""},       // missing folder
      {"/skins/iTunes.SKN/more", ""},    // a file is no folder
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.asked);
    const QString expected = *c.found ? root_ + c.found : QString();
    EXPECT_EQ(ResolvePathNoCase(root_ + c.asked), expected);
  }
}

TEST_F(SkinPathTest, RelativeNamesAreResolvedFromTheWorkingFolder) {
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(root_));
  EXPECT_EQ(ResolvePathNoCase("skins/itunes.skn"), "skins/iTunes.SKN");
  EXPECT_EQ(ResolvePathNoCase("SKINS"), "skins");
  EXPECT_EQ(ResolvePathNoCase("skins/none.skn"), QString());
  QDir::setCurrent(before);
}

TEST(SkinPathEmptyTest, AnEmptyNameNamesNothing) {
  EXPECT_EQ(ResolvePathNoCase(""), QString());
}

TEST(ProgramFolderTest, IsTheExecutablesFolderUnlessPointedElsewhere) {
  EXPECT_EQ(ProgramFolder(), QCoreApplication::applicationDirPath());
  SetProgramFolder("/some/where/");
  EXPECT_EQ(ProgramFolder(), "/some/where");  // no trailing separator, as documented
  SetProgramFolder("");
  EXPECT_EQ(ProgramFolder(), QCoreApplication::applicationDirPath());
}

}  // namespace
}  // namespace ostrel
