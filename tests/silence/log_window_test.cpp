// The log window: its controls, pausing and resuming the log, clearing, closing, and saving
// the lines through the (replaced) save dialog.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "platform/ExceptionReport.h"
#include "platform/FileDialog.h"
#include "platform/SqlProbe.h"
#include "silence/uLogFile.h"

namespace ostrel {
namespace {

class LogWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    CreateWindowSet();
    previousNotice_ =
        SetComponentMessageHandler([this](const QString& caption, const QString& text) {
          messages_ << caption + ": " + text;
        });
    // The dialog answers with whatever the test has chosen and remembers what it was shown.
    fLogFile->SaveDialog1->SetChooser([this](const TFileDialog& d) {
      shown_ = {d.Title, d.QtFilter(), d.DefaultExt, d.InitialDir};
      ++dialogRuns_;
      return answer_;
    });
  }
  void TearDown() override {
    SetComponentMessageHandler(previousNotice_);
    DestroyWindowSet();
  }
  void AddLines(const QStringList& lines) {
    for (const QString& l : lines) fLogFile->AddLine(l);
  }
  void SaveAs(const QString& path) {
    answer_ = path;
    fLogFile->btn_Save->click();
  }

  test::ScopedConfigHome config_;
  QTemporaryDir dir_;
  MessageNotice previousNotice_;
  QStringList messages_;
  QString answer_;
  QStringList shown_;
  int dialogRuns_ = 0;
};

TEST_F(LogWindowTest, ControlsAndTheirPlaces) {
  EXPECT_EQ(fLogFile->windowTitle(), "Logfile");
  EXPECT_EQ(fLogFile->size(), QSize(438, 460));
  EXPECT_TRUE(fLogFile->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(fLogFile->windowFlags() & Qt::Tool);
  EXPECT_FALSE(fLogFile->isVisible());
  EXPECT_EQ(fLogFile->font().family(), "Arial");
  EXPECT_EQ(fLogFile->font().pointSize(), 8);
  EXPECT_EQ(fLogFile->Label1->text(), "Logfile for the Multi Level Ostrel");
  EXPECT_EQ(fLogFile->Label1->font().pixelSize(), 19);
  EXPECT_TRUE(fLogFile->Label1->font().bold());
  EXPECT_TRUE(fLogFile->logMemo->isReadOnly());
  EXPECT_EQ(fLogFile->logMemo->geometry(), QRect(32, 56, 385, 313));
  EXPECT_EQ(fLogFile->logMemo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  const struct {
    QPushButton* button;
    const char* name;
    const char* caption;
    QPoint at;
  } buttons[] = {{fLogFile->btn_stoplog, "btn_stoplog", "Stop Logfile", {40, 384}},
                 {fLogFile->btn_startlog, "btn_startlog", "Start Logfile", {264, 384}},
                 {fLogFile->btn_clear, "btn_clear", "Clear", {184, 400}},
                 {fLogFile->btn_Save, "btn_Save", "Save Logfile as", {40, 416}},
                 {fLogFile->btn_close, "btn_close", "Close without saving", {264, 416}}};
  for (const auto& b : buttons) {
    EXPECT_EQ(b.button->objectName(), b.name);
    EXPECT_EQ(b.button->text(), b.caption);
    EXPECT_EQ(b.button->pos(), b.at);
  }
}

TEST_F(LogWindowTest, StopLogfilePausesTheLogAndRestartsEverySilenceCount) {
  fMain->LogActive = true;
  for (int n = 1; n <= 24; ++n) fMain->SilenceCount[n] = 100 + n;
  fMain->QuietSeen[5] = true;
  fLogFile->btn_stoplog->click();
  EXPECT_FALSE(fMain->LogActive);
  for (int n = 1; n <= 24; ++n) EXPECT_EQ(fMain->SilenceCount[n], 0) << n;
  EXPECT_TRUE(fMain->QuietSeen[5]);  // the flags are not the log window's

  fLogFile->btn_startlog->click();
  EXPECT_TRUE(fMain->LogActive);
}

TEST_F(LogWindowTest, ClearEmptiesTheLogAndCloseKeepsIt) {
  AddLines({"one", "two"});
  fLogFile->show();
  fLogFile->btn_close->click();
  EXPECT_FALSE(fLogFile->isVisible());
  EXPECT_EQ(fLogFile->Lines(), QStringList({"one", "two"}));
  fLogFile->show();
  EXPECT_EQ(fLogFile->logMemo->toPlainText(), "one\ntwo");
  // A later save still writes the kept lines.
  SaveAs(dir_.filePath("kept.txt"));
  EXPECT_EQ(test::ReadAll(dir_.filePath("kept.txt")), QByteArray("one\r\ntwo\r\n"));

  fLogFile->btn_clear->click();
  EXPECT_TRUE(fLogFile->Lines().isEmpty());
}

TEST_F(LogWindowTest, SavingWritesOneLinePerEntryEndedByCrLf) {
  AddLines({"Level 3 : - Git-   -47.39 dB  --> Time: 01/02/2024 13:04:05",
            "Level 4 : - Bas-   -Inf dB  --> Time: 01/02/2024 13:04:06"});
  const struct {
    const char* chosen;
    const char* written;
  } cases[] = {
      {"log.txt", "log.txt"}, {"no-extension", "no-extension.txt"}, {"log.old", "log.old"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen);
    SaveAs(dir_.filePath(c.chosen));
    EXPECT_EQ(test::ReadAll(dir_.filePath(c.written)),
              "Level 3 : - Git-   -47.39 dB  --> Time: 01/02/2024 13:04:05\r\n"
              "Level 4 : - Bas-   -Inf dB  --> Time: 01/02/2024 13:04:06\r\n");
  }
  EXPECT_EQ(shown_, QStringList({"Save Multi Level Ostrel logfile", "Multi Level Ostrel (*.txt)",
                                 "txt", QString()}));
  EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(LogWindowTest, SavingReplacesAnExistingFileAndAnEmptyLogWritesAnEmptyFile) {
  const QString path = dir_.filePath("log.txt");
  ASSERT_TRUE(test::WriteAll(path, "old content that is longer than the new\r\n"));
  AddLines({"new"});
  SaveAs(path);
  EXPECT_EQ(test::ReadAll(path), QByteArray("new\r\n"));

  fLogFile->btn_clear->click();
  SaveAs(path);
  EXPECT_TRUE(QFile::exists(path));
  EXPECT_EQ(test::ReadAll(path), QByteArray());
}

TEST_F(LogWindowTest, CancellingTheDialogWritesNothing) {
  AddLines({"line"});
  SaveAs(QString());
  EXPECT_EQ(dialogRuns_, 1);
  EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::Files).isEmpty());
  EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(LogWindowTest, AFileThatCannotBeWrittenShowsAnErrorAndKeepsTheLines) {
  AddLines({"first", "second"});
  const QString unwritable = dir_.filePath("no-such-folder/log.txt");
  SaveAs(unwritable);
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(messages_[0].contains(QDir::toNativeSeparators(unwritable)))
      << messages_[0].toStdString();
  EXPECT_EQ(fLogFile->Lines(), QStringList({"first", "second"}));
  // A folder in place of the file fails the same way.
  ASSERT_TRUE(QDir(dir_.path()).mkdir("taken.txt"));
  SaveAs(dir_.filePath("taken.txt"));
  EXPECT_EQ(messages_.size(), 2);
  EXPECT_EQ(fLogFile->Lines(), QStringList({"first", "second"}));
}

TEST_F(LogWindowTest, TheDialogOpensInTheExportFolderBesideTheProgramWhenThereIsOne) {
  const QString folder =
      QDir(QCoreApplication::applicationDirPath()).filePath("Multi Level Ostrel export");
  ASSERT_EQ(TfLogFile::ExportFolder(), folder);
  const bool existed = QDir(folder).exists();
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString workingFolder = QDir::currentPath();
  SaveAs(QString());
  if (!existed) QDir().rmdir(folder);
  EXPECT_EQ(shown_.value(3), folder);
  // The program's working folder (where the manual is looked up) stays where it was.
  EXPECT_EQ(QDir::currentPath(), workingFolder);
}

}  // namespace
}  // namespace ostrel
