// The fourteen shipped skins: all there under the names of the chooser's list, all valid,
// readable, clearly different from each other, and free of fixed pixel font sizes.
#include "labels_skins/uSkin.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/SkinData.h"
#include "platform/SkinFile.h"
#include "platform/skin_test_support.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace ostrel {
namespace {

using skintest::WarningRecorder;

const QString kSkins = QStringLiteral(OSTREL_SKINS_DIR);

// Relative luminance and contrast ratio as the web's accessibility guidelines define them.
double Luminance(const QColor& c) {
  const auto channel = [](double v) {
    v /= 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(ShippedSkinsTest, TheFolderHoldsExactlyTheFilesOfTheChoosersList) {
  QSet<QString> listed;
  for (const QString& f : TfSkin::SkinFiles()) {
    ASSERT_TRUE(f.startsWith("skins/"));
    listed << f.mid(6);
  }
  EXPECT_EQ(listed.size(), 14);
  const QStringList present = QDir(kSkins).entryList(QDir::Files);
  EXPECT_EQ(QSet<QString>(present.begin(), present.end()), listed);
}

TEST(ShippedSkinsTest, TheStartUpNameFindsTheDefaultSkinWhateverItsCase) {
  const QString programFolder = QFileInfo(kSkins).absolutePath();
  EXPECT_EQ(ResolvePathNoCase(programFolder + "/skins/iTunes.skn"),
            programFolder + "/skins/iTunes.SKN");
  for (const QString& f : TfSkin::SkinFiles()) {
    EXPECT_FALSE(ResolvePathNoCase(programFolder + "/" + f.toLower()).isEmpty()) << f.toStdString();
  }
}

TEST(ShippedSkinsTest, EverySkinIsValidReadableAndItsOwn) {
  QSet<QString> names;
  QSet<QRgb> windows;
  const QRegularExpression pixelFont(QStringLiteral("font(-size)?\\s*:[^;]*\\d+px"));
  for (const QString& f : TfSkin::SkinFiles()) {
    SCOPED_TRACE(f.toStdString());
    const QString path = QFileInfo(kSkins).absolutePath() + "/" + f;
    QString error;
    const auto skin = ReadSkinFile(path, &error);
    ASSERT_TRUE(skin) << error.toStdString();
    names << skin->Name;
    windows << skin->Palette.color(QPalette::Window).rgb();
    const QPalette& p = skin->Palette;
    // Text on its ground: at least 4.5 : 1 in every pairing the controls use.
    const std::pair<QPalette::ColorRole, QPalette::ColorRole> pairs[] = {
        {QPalette::WindowText, QPalette::Window},
        {QPalette::Text, QPalette::Base},
        {QPalette::ButtonText, QPalette::Button},
        {QPalette::HighlightedText, QPalette::Highlight},
        {QPalette::ToolTipText, QPalette::ToolTipBase}};
    for (const auto& [text, ground] : pairs) {
      EXPECT_GE(Contrast(p.color(text), p.color(ground)), 4.5)
          << "roles " << int(text) << " on " << int(ground);
    }
    // Greyed-out text is visibly greyed, yet still legible.
    for (const auto& [text, ground] : pairs) {
      if (text != QPalette::WindowText && text != QPalette::Text) continue;
      const QColor off = p.color(QPalette::Disabled, text);
      EXPECT_NE(off, p.color(text));
      EXPECT_GE(Contrast(off, p.color(QPalette::Disabled, ground)), 1.8);
    }
    // Fonts, if a skin sets any, follow the desktop's scaling.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(pixelFont.match(QString::fromUtf8(file.readAll())).hasMatch());
  }
  EXPECT_EQ(names.size(), 14);
  EXPECT_EQ(windows.size(), 14);
}

TEST(ShippedSkinsTest, EverySkinStylesTypicalControlsWithoutAComplaintFromQt) {
  TSkinData engine;
  QDialog dialog;
  auto* column = new QVBoxLayout(&dialog);
  column->setMenuBar(new QMenuBar(&dialog));
  column->addWidget(new QStatusBar(&dialog));
  auto* group = new QGroupBox(QStringLiteral(" Program Skins "), &dialog);
  auto* inside = new QVBoxLayout(group);
  auto* radio = new QRadioButton(QStringLiteral("Skin1"), group);
  inside->addWidget(radio);
  inside->addWidget(new QCheckBox(QStringLiteral("Alarm"), group));
  column->addWidget(group);
  column->addWidget(new QSpinBox(&dialog));
  column->addWidget(new QComboBox(&dialog));
  column->addWidget(new QLineEdit(QStringLiteral("Mic 1"), &dialog));
  column->addWidget(new QPushButton(QStringLiteral("Okay"), &dialog));
  dialog.resize(240, 320);
  dialog.show();

  QSet<QByteArray> looks;
  for (const QString& f : TfSkin::SkinFiles()) {
    SCOPED_TRACE(f.toStdString());
    WarningRecorder warnings;
    engine.SetSkinFile(QFileInfo(kSkins).absolutePath() + "/" + f);
    QApplication::processEvents();
    const QImage look = dialog.grab().toImage();
    QStringList complaints = warnings.Warnings();
    // The headless test platform's own notes are no complaint about the skin.
    complaints.removeIf([](const QString& w) { return w.startsWith("This plugin does not"); });
    EXPECT_EQ(complaints.join('\n').toStdString(), "");
    EXPECT_FALSE(engine.AppliedFile().isEmpty());
    // A container's background must not leak into the palettes of the controls inside it:
    // the style draws their indicators from these roles (a gradient reads as black).
    const QPalette& app = QApplication::palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button}) {
      EXPECT_EQ(radio->palette().brush(role), app.brush(role)) << "role " << int(role);
    }
    looks << QByteArray(reinterpret_cast<const char*>(look.constBits()), look.sizeInBytes());
  }
  EXPECT_EQ(looks.size(), 14);
}

}  // namespace
}  // namespace ostrel
