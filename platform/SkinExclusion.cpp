#include "platform/SkinExclusion.h"

#include "platform/SkinStyleSheet.h"

#include <QApplication>
#include <QDynamicPropertyChangeEvent>
#include <QEvent>
#include <QStyle>
#include <QWidget>

namespace ostrel {

namespace {
constexpr const char* kTagProperty = "Tag";
// The palette a tagged widget had before it was pinned, to give back if it loses its tag.
constexpr const char* kOwnPaletteProperty = "_skinOwnPalette";
constexpr QPalette::ColorGroup kGroups[] = {QPalette::Active, QPalette::Inactive,
                                            QPalette::Disabled};

// True when every colour role is set on the palette itself: it no longer follows the
// application palette.
bool FullyPinned(const QPalette& pal) {
  for (QPalette::ColorGroup g : kGroups) {
    for (int r = 0; r < QPalette::NColorRoles; ++r) {
      const auto role = QPalette::ColorRole(r);
      if (role != QPalette::NoRole && !pal.isBrushSet(g, role)) return false;
    }
  }
  return true;
}
}  // namespace

TSkinExclusion::TSkinExclusion(int disableTag, const QPalette& unskinned, QObject* parent)
    : QObject(parent), disableTag_(disableTag), unskinned_(unskinned) {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

TSkinExclusion::~TSkinExclusion() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool TSkinExclusion::IsTagged(const QWidget* w) const {
  const QVariant tag = w->property(kTagProperty);
  return tag.isValid() && tag.toInt() == disableTag_;
}

bool TSkinExclusion::IsExcluded(const QWidget* w) const {
  for (; w; w = w->parentWidget()) {
    if (IsTagged(w)) return true;
  }
  return false;
}

void TSkinExclusion::MarkAll() {
  for (QWidget* w : QApplication::topLevelWidgets()) Mark(w, true, false);
}

bool TSkinExclusion::IsExclusionRoot(const QWidget* w) const {
  return IsTagged(w) && !(w->parentWidget() && IsExcluded(w->parentWidget()));
}

void TSkinExclusion::Mark(QWidget* w, bool subtree, bool repolish) {
  const bool excluded = IsExcluded(w);
  const QVariant wanted(!excluded);
  const bool changed = w->property(kSkinnedProperty) != wanted;
  // Qt evaluates property selectors when it polishes a widget, so a new mark needs a new
  // polish. Unpolishing first also takes back the colours the old rules gave the widget,
  // which must not be mistaken for its own.
  const bool restyle = changed && repolish && w->testAttribute(Qt::WA_WState_Polished);
  if (restyle) w->style()->unpolish(w);
  if (changed) w->setProperty(kSkinnedProperty, wanted);
  if (IsExclusionRoot(w)) {
    Pin(w);
  } else if (const QVariant own = w->property(kOwnPaletteProperty); own.isValid()) {
    // No longer kept out of the skin: back to the colours it set itself, the rest skinned.
    w->setProperty(kOwnPaletteProperty, QVariant());
    w->setPalette(own.value<QPalette>());
  }
  if (restyle) {
    w->style()->polish(w);
    w->update();
  }
  if (!subtree) return;
  for (QObject* child : w->children()) {
    if (child->isWidgetType()) Mark(static_cast<QWidget*>(child), true, repolish);
  }
}

void TSkinExclusion::Pin(QWidget* w) {
  // The roles the widget set itself stay; every other role is fixed at the built-in look.
  // Everything inside inherits from here, so it keeps following the widget's own colours.
  const QPalette own = w->palette();
  if (FullyPinned(own)) return;
  w->setProperty(kOwnPaletteProperty, QVariant::fromValue(own));
  QPalette pinned = unskinned_;
  for (QPalette::ColorGroup g : kGroups) {
    for (int r = 0; r < QPalette::NColorRoles; ++r) {
      const auto role = QPalette::ColorRole(r);
      if (role == QPalette::NoRole) continue;
      pinned.setBrush(g, role,
                      own.isBrushSet(g, role) ? own.brush(g, role) : unskinned_.brush(g, role));
    }
  }
  w->setPalette(pinned);
}

bool TSkinExclusion::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Polish:
      // Sent before the style polishes the widget, so the mark is in place in time.
      if (watched->isWidgetType()) Mark(static_cast<QWidget*>(watched), false, false);
      break;
    case QEvent::ParentChange:
      if (watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->testAttribute(Qt::WA_WState_Polished)) Mark(w, true, true);
      }
      break;
    case QEvent::PaletteChange:
      // A tagged widget given a few colours of its own later keeps the rest unskinned.
      if (watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (IsExclusionRoot(w)) Pin(w);
      }
      break;
    case QEvent::DynamicPropertyChange:
      if (watched->isWidgetType() &&
          static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == kTagProperty) {
        Mark(static_cast<QWidget*>(watched), true, true);
      }
      break;
    default:
      break;
  }
  return false;
}

}  // namespace ostrel
