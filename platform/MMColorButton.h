#pragma once
// A button that shows a colour. Clicking it opens a palette of the standard named colours
// and "&Other...", which offers the full colour dialog. Setting the value, from code or by
// the user, runs OnChange, but only when the colour actually changes.

#include "platform/MMGraphicControl.h"

#include <QPushButton>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QToolButton;

namespace ostrel {

struct NamedColor {
  const char* name;  // e.g. "clLime"
  TColor color;
};

class TMMColorButton : public QPushButton {
  Q_OBJECT
 public:
  explicit TMMColorButton(QWidget* parent = nullptr);

  TColor Value() const { return value_; }
  void SetValue(TColor c);

  // The palette offered by the menu, in menu order.
  static const std::vector<NamedColor>& Palette();
  // The colour dialog behind "&Other...": gets the current colour and the button, returns
  // the chosen colour or nothing when cancelled. Replaceable so tests need no dialog;
  // an empty function restores the standard dialog.
  using OtherChooser = std::function<std::optional<TColor>(TColor current, QWidget* parent)>;
  static void SetOtherChooser(OtherChooser chooser);

  QMenu* Menu() const { return menu_; }
  QAction* OtherAction() const { return other_; }
  // The palette entry's button in the menu, or nullptr outside the palette.
  QToolButton* Swatch(int index) const;

  std::function<void()> OnChange;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void BuildMenu();
  void ChooseOther();

  TColor value_ = clBlack;
  QMenu* menu_ = nullptr;
  QAction* other_ = nullptr;
  std::vector<QToolButton*> swatches_;
};

}  // namespace ostrel
