#pragma once
// The skin engine: gives every window of the program the look of a skin file at once,
// except the widgets tagged with DisableTag (99) and everything inside them.
//
// A skin is applied as the application palette plus an application style sheet on Qt's
// "Fusion" style (the style that follows palettes faithfully on every desktop). Sizes in a
// skin are in device-independent pixels, so a skin scales with the desktop's scale factor.

#include "platform/ProgramFolder.h"
#include "platform/SkinFile.h"

#include <QObject>
#include <QPalette>
#include <QString>

#include <memory>
#include <optional>

namespace ostrel {

class TSkinExclusion;

class TSkinData : public QObject {
  Q_OBJECT
 public:
  static constexpr int kDisableTag = 99;

  // Switches the application to the Fusion style; the look in force now is the built-in look.
  explicit TSkinData(QObject* parent = nullptr);
  // Gives the application its built-in look back.
  ~TSkinData() override;

  // The full path last assigned. Assigning loads and applies the file if it exists (its name
  // is matched without regard to case). A missing file only changes the name: the look in
  // force stays. A file that is not a valid skin (damaged, binary, not UTF-8, over 1 MiB)
  // leaves the look unchanged too and logs one warning. Assigning the same path again
  // does nothing.
  QString SkinFile() const { return skinFile_; }
  void SetSkinFile(const QString& path);

  // Skinning on (default) or off; off shows the built-in look, on brings the skin back.
  bool Active() const { return active_; }
  void SetActive(bool active);

  // Widgets whose dynamic property "Tag" has this value are left unskinned.
  int DisableTag() const { return kDisableTag; }

  // The file whose look is in force and its name; both empty while the built-in look is.
  QString AppliedFile() const { return appliedFile_; }
  QString SkinName() const { return skin_ ? skin_->Name : QString(); }

  // Forgets the file name and the loaded skin and shows the built-in look.
  void Clear();

  // The palette of the built-in look, which the unskinned widgets keep.
  const QPalette& BuiltInPalette() const { return builtIn_; }

 private:
  void Apply();

  QString skinFile_;
  QString appliedFile_;
  std::optional<TSkinDescription> skin_;
  bool active_ = true;
  QPalette builtIn_;
  TSkinExclusion* exclusion_ = nullptr;
};

// The program's one skin engine (the main window's SkinData1), created on first use and
// living as long as the application object.
TSkinData& ProgramSkin();

}  // namespace ostrel
