#pragma once
// Keeps the widgets tagged with the skin engine's disable tag (the black channel strips),
// and everything inside them, out of every skin.
//
// A skin restyles the program through the application palette and an application style
// sheet. Qt style sheets cannot say "all widgets but these", so every widget carries the
// dynamic property "skinned" (see SkinStyleSheet.h): "true" for the widgets a skin may
// restyle, "false" inside a tagged widget, and every rule of a skin is limited to "true".
// The application palette reaches every widget, so the outermost tagged widget of each
// excluded subtree gets its palette pinned: each colour role it did not set itself is fixed
// at the built-in look, and the widgets inside inherit from it as usual (the engine keeps
// palette inheritance on while a style sheet is in force). Widgets created, re-parented,
// re-coloured or re-tagged later are handled as they come, through an application-wide
// event filter.

#include <QObject>
#include <QPalette>

class QWidget;

namespace ostrel {

class TSkinExclusion : public QObject {
  Q_OBJECT
 public:
  TSkinExclusion(int disableTag, const QPalette& unskinned, QObject* parent = nullptr);
  ~TSkinExclusion() override;

  // True when `w` or one of its ancestors carries the dynamic property "Tag" = disable tag.
  bool IsExcluded(const QWidget* w) const;
  // Marks (and pins) every widget that exists now.
  void MarkAll();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool IsTagged(const QWidget* w) const;
  // A tagged widget that is not inside another excluded widget.
  bool IsExclusionRoot(const QWidget* w) const;
  // Marks `w`, pins its palette when it is an exclusion root, and with `subtree` does the
  // same for every widget inside it; with `repolish`, widgets whose mark changed are
  // restyled at once.
  void Mark(QWidget* w, bool subtree, bool repolish);
  void Pin(QWidget* w);

  int disableTag_;
  QPalette unskinned_;
};

}  // namespace ostrel
