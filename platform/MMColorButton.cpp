#include "platform/MMColorButton.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QWidgetAction>

namespace ostrel {

namespace {
constexpr int kPaletteColumns = 5;
constexpr int kSwatchSize = 18;

TMMColorButton::OtherChooser& Chooser() {
  static TMMColorButton::OtherChooser chooser;
  return chooser;
}

std::optional<TColor> StandardDialog(TColor current, QWidget* parent) {
  const QColor picked = QColorDialog::getColor(ToQColor(current), parent, QStringLiteral("Color"));
  if (!picked.isValid()) return std::nullopt;
  return FromQColor(picked);
}

QIcon SwatchIcon(TColor c) {
  QPixmap pm(kSwatchSize, kSwatchSize);
  pm.fill(ToQColor(c));
  QPainter p(&pm);
  p.setPen(Qt::darkGray);
  p.drawRect(0, 0, kSwatchSize - 1, kSwatchSize - 1);
  return QIcon(pm);
}
}  // namespace

TMMColorButton::TMMColorButton(QWidget* parent) : QPushButton(parent) {
  setMinimumSize(40, 20);
  // Return in a dialog's edit field must not pop up a palette.
  setAutoDefault(false);
  connect(this, &QPushButton::clicked, this,
          [this] { menu_->popup(mapToGlobal(QPoint(0, height()))); });
  BuildMenu();
}

const std::vector<NamedColor>& TMMColorButton::Palette() {
  // The sixteen standard colours, then the four extra desktop ones.
  static const std::vector<NamedColor> palette{
      {"clBlack", clBlack}, {"clMaroon", clMaroon},     {"clGreen", clGreen},
      {"clOlive", clOlive}, {"clNavy", clNavy},         {"clPurple", clPurple},
      {"clTeal", clTeal},   {"clGray", clGray},         {"clSilver", clSilver},
      {"clRed", clRed},     {"clLime", clLime},         {"clYellow", clYellow},
      {"clBlue", clBlue},   {"clFuchsia", clFuchsia},   {"clAqua", clAqua},
      {"clWhite", clWhite}, {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
      {"clCream", clCream}, {"clMedGray", 0xA4A0A0},
  };
  return palette;
}

void TMMColorButton::SetOtherChooser(OtherChooser chooser) {
  Chooser() = std::move(chooser);
}

void TMMColorButton::BuildMenu() {
  menu_ = new QMenu(this);
  auto* grid = new QWidget(menu_);
  auto* layout = new QGridLayout(grid);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);
  const auto& palette = Palette();
  for (int i = 0; i < int(palette.size()); ++i) {
    auto* b = new QToolButton(grid);
    b->setObjectName(QString::fromLatin1(palette[i].name));
    b->setToolTip(QString::fromLatin1(palette[i].name).mid(2));
    b->setAutoRaise(true);
    b->setIcon(SwatchIcon(palette[i].color));
    b->setIconSize(QSize(kSwatchSize, kSwatchSize));
    const TColor c = palette[i].color;
    connect(b, &QToolButton::clicked, this, [this, c] {
      menu_->hide();
      SetValue(c);
    });
    layout->addWidget(b, i / kPaletteColumns, i % kPaletteColumns);
    swatches_.push_back(b);
  }
  auto* gridAction = new QWidgetAction(menu_);
  gridAction->setDefaultWidget(grid);
  menu_->addAction(gridAction);
  menu_->addSeparator();
  other_ = menu_->addAction(QStringLiteral("&Other..."));
  connect(other_, &QAction::triggered, this, &TMMColorButton::ChooseOther);
}

QToolButton* TMMColorButton::Swatch(int index) const {
  return index >= 0 && index < int(swatches_.size()) ? swatches_[index] : nullptr;
}

void TMMColorButton::ChooseOther() {
  const OtherChooser& chooser = Chooser();
  const std::optional<TColor> picked =
      chooser ? chooser(value_, this) : StandardDialog(value_, this);
  if (picked) SetValue(*picked & 0xFFFFFF);
}

void TMMColorButton::SetValue(TColor c) {
  if (c == value_) return;
  value_ = c;
  update();
  if (OnChange) OnChange();
}

void TMMColorButton::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  // The colour fills the face inside the bevel, with a small drop-down mark at the right.
  QStyleOptionButton opt;
  initStyleOption(&opt);
  const QRect face = style()->subElementRect(QStyle::SE_PushButtonContents, &opt, this);
  const int arrowWidth = 10;
  QRect swatch = face.adjusted(2, 2, -arrowWidth - 4, -2);
  QPainter p(this);
  p.fillRect(swatch, ToQColor(value_));
  p.setPen(isEnabled() ? Qt::black : Qt::gray);
  p.drawRect(swatch.adjusted(0, 0, -1, -1));
  const int ax = swatch.right() + 4, ay = face.center().y() - 1;
  const QPoint arrow[3] = {{ax, ay}, {ax + 6, ay}, {ax + 3, ay + 3}};
  p.setBrush(p.pen().color());
  p.drawPolygon(arrow, 3);
}

}  // namespace ostrel
