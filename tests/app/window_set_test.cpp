// The program's window set: captions, frames, visibility at start, the start-up timer that
// closes the information window, and the main window ending the program.
#include "ProgramTestEnv.h"
#include "app/uInfo.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "audio/uMultimode.h"
#include "ballistics/uSet_Level.h"
#include "labels_skins/uLabels.h"
#include "labels_skins/uSkin.h"
#include "silence/uLogFile.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

namespace ostrel {
namespace {

class WindowSetTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateWindowSet(); }
  void TearDown() override { DestroyWindowSet(); }
  test::ProgramTestEnv env_;
};

struct WindowCase {
  QWidget* (*window)();
  const char* name;
  const char* caption;
  bool tool;
  bool frameless;
  int clientWidth;  // 0 when the size is not fixed
  int clientHeight;
};

TEST_F(WindowSetTest, EveryWindowHasItsNameCaptionAndFrame) {
  const WindowCase cases[] = {
      {[]() -> QWidget* { return fMain; }, "fMain", "Multi Ostrel ", false, false, 0, 0},
      {[]() -> QWidget* { return fSetLevel; }, "fSetLevel", "Level settings", false, false, 687,
       626},
      {[]() -> QWidget* { return fLabels; }, "fLabels", "Label for the Levels", false, false, 452,
       299},
      {[]() -> QWidget* { return fmulti; }, "fmulti", "Multi Mode Input Setup", false, false, 0, 0},
      {[]() -> QWidget* { return fSkin; }, "fSkin", "Bars preference", true, false, 229, 334},
      {[]() -> QWidget* { return FrmInfo; }, "FrmInfo", "Programm Info", false, true, 545, 333},
      {[]() -> QWidget* { return fLogFile; }, "fLogFile", "Logfile", true, false, 438, 460},
  };
  for (const WindowCase& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget* w = c.window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName(), QString::fromLatin1(c.name));
    EXPECT_EQ(w->windowTitle(), QString::fromLatin1(c.caption));
    EXPECT_TRUE(w->isWindow());
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w->windowType() == Qt::Tool, c.tool);
    EXPECT_EQ(bool(w->windowFlags() & Qt::FramelessWindowHint), c.frameless);
    if (c.clientWidth) {
      EXPECT_EQ(w->size(), QSize(c.clientWidth, c.clientHeight));
    }
  }
}

TEST_F(WindowSetTest, OnlyTheInformationWindowIsVisibleAfterCreation) {
  EXPECT_TRUE(FrmInfo->isVisible());
  for (QWidget* w : {static_cast<QWidget*>(fMain), static_cast<QWidget*>(fSetLevel),
                     static_cast<QWidget*>(fLabels), static_cast<QWidget*>(fmulti),
                     static_cast<QWidget*>(fSkin), static_cast<QWidget*>(fLogFile)})
    EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}

TEST_F(WindowSetTest, MainWindowHasFixedHeightAndDesignWidth) {
  EXPECT_EQ(fMain->width(), 1384);
  EXPECT_EQ(fMain->minimumHeight(), 768);
  EXPECT_EQ(fMain->maximumHeight(), 768);
}

TEST_F(WindowSetTest, StartUpTimerClosesTheInformationWindowOnce) {
  ASSERT_TRUE(fMain->Timer1->isActive());
  EXPECT_TRUE(fMain->Timer1->isSingleShot());
  EXPECT_EQ(fMain->Timer1->interval(), 2000);

  // Let the armed timer fire now rather than in two seconds.
  fMain->Timer1->start(0);
  for (int i = 0; i < 100 && fMain->Timer1->isActive(); ++i) QCoreApplication::processEvents();
  EXPECT_FALSE(FrmInfo->isVisible());
  EXPECT_FALSE(fMain->Timer1->isActive());

  // Shown again (Help "Info") it stays until the next run of the pass hides it again; a
  // pass over an already hidden window does nothing.
  FrmInfo->show();
  EXPECT_TRUE(FrmInfo->isVisible());
  fMain->Timer1Timer();
  EXPECT_FALSE(FrmInfo->isVisible());
  fMain->Timer1Timer();
  EXPECT_FALSE(FrmInfo->isVisible());
}

TEST_F(WindowSetTest, CloseTextHidesTheInformationWindow) {
  ASSERT_NE(FrmInfo->Label11, nullptr);
  EXPECT_EQ(FrmInfo->Label11->text(), QStringLiteral(">> close <<"));
  EXPECT_EQ(FrmInfo->Label11->cursor().shape(), Qt::PointingHandCursor);
  const QPointF at(5, 5);
  QMouseEvent press(QEvent::MouseButtonPress, at, FrmInfo->Label11->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, FrmInfo->Label11->mapToGlobal(at),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(FrmInfo->Label11, &press);
  QApplication::sendEvent(FrmInfo->Label11, &release);
  EXPECT_FALSE(FrmInfo->isVisible());
}

TEST_F(WindowSetTest, ClosingASecondaryWindowOnlyHidesIt) {
  QPointer<QWidget> log(fLogFile);
  fLogFile->show();
  fLogFile->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(log.isNull());
  EXPECT_FALSE(log->isVisible());
}

TEST_F(WindowSetTest, ClosingTheMainWindowEndsTheMessageLoop) {
  QApplication::setQuitOnLastWindowClosed(false);
  fMain->show();
  fLogFile->show();  // an open secondary window does not keep the program alive
  QTimer::singleShot(0, fMain, [] { fMain->close(); });
  // Safety net so a regression fails instead of hanging the suite.
  bool timedOut = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] {
    timedOut = true;
    QCoreApplication::exit(1);
  });
  guard.start(10000);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(timedOut);
  EXPECT_FALSE(fMain->isVisible());
}

}  // namespace
}  // namespace ostrel
