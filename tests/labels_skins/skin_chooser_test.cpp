// The skin chooser: its layout, and what a choice does: apply the skin at once to every
// window but the black channel strips, and store its full path under "skin" whether or not
// the file could be loaded.
#include "ProgramTestEnv.h"
#include "app/Settings.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "labels_skins/uSkin.h"
#include "platform/MMLEDLabel.h"
#include "platform/ProgramFolder.h"
#include "platform/RadioGroup.h"
#include "platform/SkinData.h"
#include "platform/SkinFile.h"
#include "platform/skin_test_support.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>

namespace ostrel {
namespace {

using skintest::WarningRecorder;
using skintest::WriteFile;

// The list of the chooser, entry by entry, as the program's users know it.
const char* const kExpectedFiles[14] = {
    "skins/iTunes.SKN",   "skins/mxskin20.skn", "skins/mxskin15.skn", "skins/mxskin60.skn",
    "skins/mxskin24.skn", "skins/mxskin28.skn", "skins/mxskin29.SKN", "skins/mxskin30.skn",
    "skins/mxskin35.skn", "skins/mxskin40.skn", "skins/mxskin47.skn", "skins/mxskin56.skn",
    "skins/mxskin59.skn", "skins/mxskin67.skn"};

// A program folder of its own holding copies of the shipped skins.
class SkinChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    const QDir shipped(QStringLiteral(OSTREL_SKINS_DIR));
    QDir().mkpath(folder_.path() + "/skins");
    for (const QString& f : shipped.entryList(QDir::Files)) {
      ASSERT_TRUE(QFile::copy(shipped.filePath(f), folder_.path() + "/skins/" + f));
    }
    SetProgramFolder(folder_.path());
    ProgramSkin().Clear();
  }
  void TearDown() override {
    ProgramSkin().Clear();
    SetProgramFolder(QString());
  }
  QPalette PaletteOf(const QString& file) {
    QString error;
    const auto skin = ReadSkinFile(folder_.path() + "/" + file, &error);
    EXPECT_TRUE(skin) << error.toStdString();
    return skin ? skin->Palette : QPalette();
  }

  QTemporaryDir folder_;
};

TEST_F(SkinChooserTest, LaysOutTheStatusStripTheFourteenSkinsAndOkay) {
  TfSkin w;
  EXPECT_EQ(w.objectName(), "fSkin");
  EXPECT_EQ(w.windowTitle(), "Bars preference");
  EXPECT_EQ(w.size(), QSize(229, 334));
  EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(w.windowFlags() & Qt::WindowType_Mask, Qt::Tool);

  w.show();
  QApplication::processEvents();
  const auto panels = w.StatusBar1->findChildren<QLabel*>();
  ASSERT_EQ(panels.size(), 1);
  EXPECT_EQ(panels[0]->text(), "Program Skins ");
  EXPECT_TRUE(panels[0]->alignment() & Qt::AlignHCenter);
  EXPECT_EQ(w.rg_skin->title(), " Program Skins ");
  EXPECT_EQ(w.rg_skin->Columns(), 2);
  QStringList items;
  for (int i = 1; i <= 14; ++i) items << QStringLiteral("Skin%1").arg(i);
  EXPECT_EQ(w.rg_skin->Items(), items);
  EXPECT_EQ(w.rg_skin->ItemIndex(), -1);
  for (int i = 0; i < 14; ++i) EXPECT_FALSE(w.rg_skin->Button(i)->isChecked()) << i;
  EXPECT_EQ(w.Button2->text(), "Okay");

  // Top to bottom: status strip, skins, button; the button sits at the bottom right.
  EXPECT_EQ(w.StatusBar1->y(), 0);
  EXPECT_GE(w.rg_skin->y(), w.StatusBar1->geometry().bottom());
  EXPECT_GE(w.Button2->y(), w.rg_skin->geometry().bottom());
  EXPECT_GT(w.Button2->x(), w.width() / 2);
  EXPECT_LE(w.width() - w.Button2->geometry().right(), 16);
  EXPECT_LE(w.height() - w.Button2->geometry().bottom(), 16);
  // Every entry is fully inside the window.
  for (int i = 0; i < 14; ++i) {
    QRadioButton* b = w.rg_skin->Button(i);
    const QRect r(b->mapTo(&w, QPoint(0, 0)), b->size());
    EXPECT_TRUE(w.rect().contains(r)) << i;
  }

  w.Button2->click();
  EXPECT_FALSE(w.isVisible());
}

TEST_F(SkinChooserTest, EachEntryAppliesAndStoresItsFileBesideTheProgram) {
  TfSkin w;
  for (int i = 0; i < 14; ++i) {
    SCOPED_TRACE(kExpectedFiles[i]);
    const QString path = folder_.path() + "/" + kExpectedFiles[i];
    w.rg_skin->SetItemIndex(i);
    EXPECT_EQ(ReadString("skin", "none"), path);
    EXPECT_EQ(ProgramSkin().SkinFile(), path);
    EXPECT_EQ(ProgramSkin().AppliedFile(), path);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window),
              PaletteOf(kExpectedFiles[i]).color(QPalette::Window));
    EXPECT_FALSE(qApp->styleSheet().isEmpty());
  }
}

TEST_F(SkinChooserTest, AMissingOrBrokenSkinIsStoredAllTheSameAndTheLookStays) {
  ASSERT_TRUE(QFile::remove(folder_.path() + "/skins/mxskin20.skn"));
  QByteArray binary(2048, '\0');
  for (int i = 0; i < binary.size(); ++i) binary[i] = char(i * 37);
  ASSERT_TRUE(WriteFile(folder_.path() + "/skins/mxskin24.skn", binary));

  TfSkin w;
  w.rg_skin->SetItemIndex(2);  // Skin3: a good one first
  const QString good = folder_.path() + "/skins/mxskin15.skn";
  ASSERT_EQ(ProgramSkin().AppliedFile(), good);
  const QPalette palette = QApplication::palette();
  const QString sheet = qApp->styleSheet();

  struct Case {
    int index;
    const char* file;
    int warnings;
  } const cases[] = {{1, "skins/mxskin20.skn", 0}, {4, "skins/mxskin24.skn", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    WarningRecorder recorder;
    w.rg_skin->SetItemIndex(c.index);
    EXPECT_EQ(ReadString("skin", "none"), folder_.path() + "/" + c.file);
    EXPECT_EQ(ProgramSkin().AppliedFile(), good);
    EXPECT_EQ(QApplication::palette(), palette);
    EXPECT_EQ(qApp->styleSheet(), sheet);
    EXPECT_EQ(recorder.Warnings().size(), c.warnings);
  }

  // Clearing the selection from code chooses nothing: the stored choice stays.
  w.rg_skin->SetItemIndex(-1);
  EXPECT_EQ(ReadString("skin", "none"), folder_.path() + "/skins/mxskin24.skn");
}

// What the main window does at every start: the default skin first, then the stored choice.
void LoadSkinAtStart() {
  TSkinData& engine = ProgramSkin();
  engine.SetSkinFile(ProgramFolder() + "/skins/iTunes.skn");
  engine.SetSkinFile(ReadString("skin", engine.SkinFile()));
}

TEST_F(SkinChooserTest, TheStoredChoiceComesBackAtTheNextStartAndAGoneFileLeavesTheDefault) {
  {
    TfSkin w;
    w.rg_skin->SetItemIndex(2);  // Skin3
  }
  ProgramSkin().Clear();  // the program ends
  LoadSkinAtStart();
  EXPECT_EQ(ProgramSkin().AppliedFile(), folder_.path() + "/skins/mxskin15.skn");

  ASSERT_TRUE(QFile::remove(folder_.path() + "/skins/mxskin15.skn"));
  ProgramSkin().Clear();
  LoadSkinAtStart();
  EXPECT_EQ(ProgramSkin().SkinFile(), folder_.path() + "/skins/mxskin15.skn");
  EXPECT_EQ(ProgramSkin().AppliedFile(), folder_.path() + "/skins/iTunes.SKN");
}

TEST_F(SkinChooserTest, AChoiceRecoloursTheOpenWindowsButNotTheBlackChannelStrips) {
  test::ProgramTestEnv env;
  CreateWindowSet();
  ProgramSkin().Clear();
  fMain->show();
  fSkin->show();
  QApplication::processEvents();
  QWidget* strip = fMain->findChild<QWidget*>("Strip1");
  QWidget* lastStrip = fMain->findChild<QWidget*>("Strip24");
  ASSERT_TRUE(strip && lastStrip);
  const QImage stripBefore = strip->grab().toImage();
  const QImage lastBefore = lastStrip->grab().toImage();
  const QImage menuBefore = fMain->MainMenu1->grab().toImage();
  const QPalette ledBefore = fMain->Led(1)->palette();

  fSkin->rg_skin->SetItemIndex(1);  // Skin2: a dark skin, far from the built-in look
  QApplication::processEvents();
  const QPalette skin = PaletteOf(kExpectedFiles[1]);
  EXPECT_EQ(fSkin->palette().color(QPalette::Window), skin.color(QPalette::Window));
  EXPECT_EQ(fSkin->Button2->palette().color(QPalette::ButtonText),
            skin.color(QPalette::ButtonText));
  EXPECT_NE(fMain->MainMenu1->grab().toImage(), menuBefore);
  EXPECT_EQ(strip->grab().toImage(), stripBefore);
  EXPECT_EQ(lastStrip->grab().toImage(), lastBefore);
  EXPECT_EQ(strip->palette().color(QPalette::Window), QColor(Qt::black));
  EXPECT_EQ(fMain->Led(1)->palette(), ledBefore);

  DestroyWindowSet();
}

}  // namespace
}  // namespace ostrel
