#include "platform/SkinData.h"

#include "platform/CaseInsensitivePath.h"
#include "platform/SkinExclusion.h"

#include <QApplication>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>
#include <QToolTip>

namespace ostrel {

namespace {
constexpr QLatin1String kStyleName("Fusion");
}

TSkinData::TSkinData(QObject* parent) : QObject(parent) {
  setObjectName(QStringLiteral("SkinData1"));
  if (QApplication::style()->name().compare(kStyleName, Qt::CaseInsensitive) != 0) {
    if (QStyle* fusion = QStyleFactory::create(kStyleName)) QApplication::setStyle(fusion);
  }
  // Without this, Qt stops handing palettes and fonts from parent to child as soon as any
  // style sheet is in force (a window's own colours would no longer reach its controls), and
  // every change of skin would put back the palettes the program's windows had when they
  // were first shown, undoing colours they set since.
  QCoreApplication::setAttribute(Qt::AA_UseStyleSheetPropagationInWidgetStyles, true);
  builtIn_ = QApplication::palette();
  exclusion_ = new TSkinExclusion(kDisableTag, builtIn_, this);
}

TSkinData::~TSkinData() {
  // Children of the application object die after it has gone; there is no look to restore.
  if (skin_ && QCoreApplication::instance()) {
    skin_.reset();
    Apply();
  }
}

void TSkinData::SetSkinFile(const QString& path) {
  if (path == skinFile_) return;
  skinFile_ = path;
  const QString resolved = ResolvePathNoCase(path);
  if (resolved.isEmpty()) return;  // a missing skin leaves the look as it is, silently
  QString why;
  std::optional<TSkinDescription> skin = ReadSkinFile(resolved, &why);
  if (!skin) {
    qWarning("Skin file \"%s\" not used: %s", qPrintable(resolved), qPrintable(why));
    return;
  }
  skin_ = std::move(skin);
  appliedFile_ = resolved;
  Apply();
}

void TSkinData::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  Apply();
}

void TSkinData::Clear() {
  skinFile_.clear();
  appliedFile_.clear();
  skin_.reset();
  Apply();
}

void TSkinData::Apply() {
  const bool skinned = active_ && skin_;
  // Mark first: the palette and the style sheet below restyle every widget at once.
  if (skinned) exclusion_->MarkAll();
  const QPalette& pal = skinned ? skin_->Palette : builtIn_;
  QApplication::setPalette(pal);
  QToolTip::setPalette(pal);
  qApp->setStyleSheet(skinned ? skin_->StyleSheet : QString());
}

TSkinData& ProgramSkin() {
  static QPointer<TSkinData> engine;
  if (!engine) engine = new TSkinData(QCoreApplication::instance());
  return *engine;
}

}  // namespace ostrel
