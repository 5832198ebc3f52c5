// The skin engine: a skin restyles every window at once, except the widgets tagged 99 and
// everything inside them; missing and broken skin files leave the look as it was.
#include "platform/SkinData.h"
#include "platform/SkinExclusion.h"
#include "platform/skin_test_support.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>

#include <memory>

namespace ostrel {
namespace {

using skintest::SkinText;
using skintest::WarningRecorder;
using skintest::WriteFile;

const QColor kSkinButton("#00ff00");  // the test skin's button background
const QColor kSkinLabel("#ff00ff");   // and label text

// A window with a skinnable button and label, and a black strip tagged 99 holding a label,
// a button and a nested panel with another label, laid out by hand.
struct Scene {
  QWidget window;
  QPushButton* out = new QPushButton(&window);
  QLabel* outLabel = new QLabel(QStringLiteral("outside"), &window);
  QWidget* strip = new QWidget(&window);
  QLabel* inLabel = new QLabel(QStringLiteral("inside"), strip);
  QPushButton* inButton = new QPushButton(strip);
  QWidget* deep = new QWidget(strip);
  QLabel* deepLabel = new QLabel(QStringLiteral("deep"), deep);

  Scene() {
    window.setGeometry(100, 100, 300, 200);
    out->setGeometry(10, 10, 60, 30);
    outLabel->setGeometry(10, 50, 80, 20);
    strip->setGeometry(150, 0, 57, 200);
    strip->setProperty("Tag", 99);
    strip->setAutoFillBackground(true);
    QPalette black = strip->palette();
    black.setColor(QPalette::Window, Qt::black);
    strip->setPalette(black);
    inLabel->setGeometry(2, 2, 50, 20);
    QPalette lime = inLabel->palette();
    lime.setColor(QPalette::WindowText, Qt::green);
    inLabel->setPalette(lime);
    inButton->setGeometry(2, 30, 50, 30);
    deep->setGeometry(0, 70, 57, 60);
    deepLabel->setGeometry(2, 2, 50, 20);
    window.show();
    QApplication::processEvents();
  }
};

QColor CentreOf(QWidget* w) {
  const QImage img = w->grab().toImage();
  return img.pixelColor(img.width() / 2, img.height() / 2);
}

class SkinEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    good_ = dir_.path() + "/skins/Good.SKN";
    ASSERT_TRUE(WriteFile(good_, SkinText()));
    engine_ = std::make_unique<TSkinData>();
  }
  void TearDown() override { engine_.reset(); }

  QTemporaryDir dir_;
  QString good_;
  std::unique_ptr<TSkinData> engine_;
};

TEST_F(SkinEngineTest, StartsOnFusionWithTheBuiltInLookAndSkinningOn) {
  EXPECT_EQ(QApplication::style()->name().toLower(), "fusion");
  EXPECT_TRUE(engine_->Active());
  EXPECT_EQ(engine_->DisableTag(), 99);
  EXPECT_EQ(engine_->SkinFile(), QString());
  EXPECT_EQ(engine_->AppliedFile(), QString());
  EXPECT_EQ(qApp->styleSheet(), QString());
  EXPECT_EQ(QApplication::palette(), engine_->BuiltInPalette());
}

TEST_F(SkinEngineTest, ASkinRestylesEveryWindowButTheTaggedStripAndItsChildren) {
  Scene s;
  QWidget other;  // a second window: it changes with the first
  other.show();
  const QImage stripBefore = s.strip->grab().toImage();
  const QColor inButtonBefore = CentreOf(s.inButton);
  const QPalette deepBefore = s.deepLabel->palette();

  engine_->SetSkinFile(good_);
  QApplication::processEvents();  // top-level windows hear of a new palette by a posted event
  ASSERT_EQ(engine_->AppliedFile(), good_);
  EXPECT_EQ(engine_->SkinName(), "Test Red");
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor("#102030"));
  EXPECT_TRUE(qApp->styleSheet().contains("QPushButton[skinned=\"true\"]"));
  EXPECT_EQ(other.palette().color(QPalette::Window), QColor("#102030"));

  // Outside the strip the skin's rules apply...
  EXPECT_EQ(CentreOf(s.out), kSkinButton);
  EXPECT_EQ(s.outLabel->palette().color(QPalette::WindowText), kSkinLabel);
  // ...inside it nothing changes: same pixels, same colours, down to the nested label.
  EXPECT_EQ(s.strip->grab().toImage(), stripBefore);
  EXPECT_EQ(CentreOf(s.inButton), inButtonBefore);
  EXPECT_EQ(s.strip->palette().color(QPalette::Window), QColor(Qt::black));
  EXPECT_EQ(s.inLabel->palette().color(QPalette::WindowText), QColor(Qt::green));
  EXPECT_EQ(s.inLabel->palette().color(QPalette::Window), QColor(Qt::black));
  EXPECT_EQ(s.deepLabel->palette().color(QPalette::WindowText),
            engine_->BuiltInPalette().color(QPalette::WindowText));
  EXPECT_EQ(s.deepLabel->palette().color(QPalette::Window), QColor(Qt::black));
  EXPECT_EQ(s.deepLabel->palette().color(QPalette::Button), deepBefore.color(QPalette::Button));
  EXPECT_EQ(s.inButton->property("skinned"), QVariant(false));
  EXPECT_EQ(s.out->property("skinned"), QVariant(true));

  // Switching skinning off brings the built-in look back everywhere, on again the skin.
  engine_->SetActive(false);
  EXPECT_EQ(QApplication::palette(), engine_->BuiltInPalette());
  EXPECT_EQ(qApp->styleSheet(), QString());
  EXPECT_NE(CentreOf(s.out), kSkinButton);
  engine_->SetActive(true);
  EXPECT_EQ(CentreOf(s.out), kSkinButton);
  EXPECT_EQ(s.strip->grab().toImage(), stripBefore);
}

TEST_F(SkinEngineTest, WidgetsThatJoinOrLeaveAStripLaterAreHandledAsTheyCome) {
  Scene s;
  engine_->SetSkinFile(good_);
  ASSERT_EQ(CentreOf(s.out), kSkinButton);

  // Created inside the strip after the skin: unskinned; created outside: skinned.
  auto* lateIn = new QPushButton(s.deep);
  lateIn->setGeometry(2, 30, 50, 25);
  auto* lateOut = new QPushButton(&s.window);
  lateOut->setGeometry(10, 100, 60, 30);
  lateIn->show();
  lateOut->show();
  QApplication::processEvents();
  EXPECT_NE(CentreOf(lateIn), kSkinButton);
  EXPECT_EQ(CentreOf(lateOut), kSkinButton);

  // Moved into the strip: loses the skin. Tagged itself: loses it too. Untagged: gets it back.
  lateOut->setParent(s.strip);
  lateOut->show();
  EXPECT_NE(CentreOf(lateOut), kSkinButton);
  s.out->setProperty("Tag", 99);
  EXPECT_NE(CentreOf(s.out), kSkinButton);
  EXPECT_EQ(s.out->palette().color(QPalette::ButtonText),
            engine_->BuiltInPalette().color(QPalette::ButtonText));
  s.out->setProperty("Tag", 0);
  EXPECT_EQ(CentreOf(s.out), kSkinButton);
  EXPECT_EQ(s.out->palette().color(QPalette::ButtonText), QColor("#eeeeee"));
}

TEST_F(SkinEngineTest, FileNamesAreMatchedWithoutRegardToCase) {
  const QString asked = dir_.path() + "/SKINS/good.skn";
  engine_->SetSkinFile(asked);
  EXPECT_EQ(engine_->SkinFile(), asked);  // the name as assigned is what gets stored
  EXPECT_EQ(engine_->AppliedFile(), good_);
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor("#102030"));
}

TEST_F(SkinEngineTest, AMissingFileKeepsItsNameAndTheLookSilently) {
  engine_->SetSkinFile(good_);
  const QPalette palette = QApplication::palette();
  const QString sheet = qApp->styleSheet();
  const QString missing = dir_.path() + "/skins/gone.skn";
  WarningRecorder warnings;
  engine_->SetSkinFile(missing);
  EXPECT_EQ(engine_->SkinFile(), missing);
  EXPECT_EQ(engine_->AppliedFile(), good_);
  EXPECT_EQ(QApplication::palette(), palette);
  EXPECT_EQ(qApp->styleSheet(), sheet);
  EXPECT_TRUE(warnings.Warnings().isEmpty());
}

TEST_F(SkinEngineTest, ABrokenFileIsRefusedWithOneWarningAndTheLookStays) {
  QByteArray huge = SkinText();
  huge.append(QByteArray(kMaxSkinFileSize, '\n'));
  QByteArray binary(4096, '\0');
  for (int i = 0; i < binary.size(); ++i) binary[i] = char((i * 131 + 7) & 0xff);
  struct Case {
    const char* file;
    QByteArray bytes;
  } const cases[] = {
      {"binary.skn", binary},
      {"latin1.skn", SkinText("CafX").replace("CafX", "Caf\xe9")},
      {"huge.skn", huge},
      {"truncated.skn", SkinText().left(SkinText().size() - 3)},
      {"bad-colour.skn", SkinText("X", "#zzzzzz")},
  };
  Scene s;
  engine_->SetSkinFile(good_);
  const QPalette palette = QApplication::palette();
  const QString sheet = qApp->styleSheet();
  const QImage strip = s.strip->grab().toImage();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const QString path = dir_.path() + "/" + c.file;
    ASSERT_TRUE(WriteFile(path, c.bytes));
    WarningRecorder warnings;
    engine_->SetSkinFile(path);
    EXPECT_EQ(engine_->SkinFile(), path);
    EXPECT_EQ(engine_->AppliedFile(), good_);
    EXPECT_EQ(engine_->SkinName(), "Test Red");
    EXPECT_EQ(QApplication::palette(), palette);
    EXPECT_EQ(qApp->styleSheet(), sheet);
    EXPECT_EQ(CentreOf(s.out), kSkinButton);
    EXPECT_EQ(s.strip->grab().toImage(), strip);
    ASSERT_EQ(warnings.Warnings().size(), 1);
    EXPECT_TRUE(warnings.Warnings().first().contains(c.file));
  }
}

TEST_F(SkinEngineTest, ClearingAndDestroyingTheEngineBringBackTheBuiltInLook) {
  engine_->SetSkinFile(good_);
  ASSERT_NE(QApplication::palette(), engine_->BuiltInPalette());
  engine_->Clear();
  EXPECT_EQ(engine_->SkinFile(), QString());
  EXPECT_EQ(engine_->AppliedFile(), QString());
  EXPECT_EQ(engine_->SkinName(), QString());
  EXPECT_EQ(QApplication::palette(), engine_->BuiltInPalette());
  EXPECT_EQ(qApp->styleSheet(), QString());

  engine_->SetSkinFile(good_);
  const QPalette builtIn = engine_->BuiltInPalette();
  engine_.reset();
  EXPECT_EQ(QApplication::palette(), builtIn);
  EXPECT_EQ(qApp->styleSheet(), QString());
}

TEST_F(SkinEngineTest, ProgramSkinIsOneEngineForTheWholeProgram) {
  engine_.reset();
  TSkinData& a = ProgramSkin();
  EXPECT_EQ(&a, &ProgramSkin());
  EXPECT_EQ(a.objectName(), "SkinData1");
  EXPECT_EQ(a.parent(), QCoreApplication::instance());
}

}  // namespace
}  // namespace ostrel
