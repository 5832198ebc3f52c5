#include "platform/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

#include <algorithm>

namespace ostrel {

TRadioGroup::TRadioGroup(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)), grid_(new QGridLayout(this)) {
  group_->setExclusive(true);
  grid_->setContentsMargins(6, 2, 6, 2);
  grid_->setVerticalSpacing(0);
  connect(group_, &QButtonGroup::idClicked, this, [this](int id) { SetItemIndex(id); });
}

void TRadioGroup::SetItems(const QStringList& items) {
  for (QRadioButton* b : buttons_) {
    group_->removeButton(b);
    delete b;
  }
  buttons_.clear();
  items_ = items;
  for (int i = 0; i < int(items_.size()); ++i) {
    auto* b = new QRadioButton(items_[i], this);
    group_->addButton(b, i);
    buttons_.push_back(b);
  }
  index_ = std::min(index_, int(items_.size()) - 1);
  Relayout();
  if (index_ >= 0) buttons_[index_]->setChecked(true);
}

void TRadioGroup::SetColumns(int columns) {
  columns = std::clamp(columns, 1, 16);
  if (columns == columns_) return;
  columns_ = columns;
  Relayout();
}

void TRadioGroup::Relayout() {
  for (QRadioButton* b : buttons_) grid_->removeWidget(b);
  const int n = int(buttons_.size());
  const int rows = (n + columns_ - 1) / columns_;
  for (int i = 0; i < n; ++i)
    grid_->addWidget(buttons_[i], rows ? i % rows : 0, rows ? i / rows : 0);
}

void TRadioGroup::SetItemIndex(int index) {
  if (index >= Count()) index = Count() - 1;
  if (index < -1) index = -1;
  if (index == index_) {
    // A click on the selected entry changes nothing, but keep the buttons in step.
    if (index >= 0 && !buttons_[index]->isChecked()) buttons_[index]->setChecked(true);
    return;
  }
  index_ = index;
  if (index_ >= 0) {
    buttons_[index_]->setChecked(true);
  } else {
    group_->setExclusive(false);
    for (QRadioButton* b : buttons_) b->setChecked(false);
    group_->setExclusive(true);
  }
  if (OnClick) OnClick();
}

QRadioButton* TRadioGroup::Button(int index) const {
  return index >= 0 && index < int(buttons_.size()) ? buttons_[index] : nullptr;
}

}  // namespace ostrel
