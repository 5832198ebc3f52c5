#pragma once
// A captioned group of mutually exclusive choices. Selecting an entry from code behaves
// exactly as a user's click: the click handler runs, but only when the selection changes.

#include <QGroupBox>
#include <QStringList>

#include <functional>
#include <vector>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

namespace ostrel {

class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit TRadioGroup(const QString& caption, QWidget* parent = nullptr);

  void SetItems(const QStringList& items);
  const QStringList& Items() const { return items_; }
  int Count() const { return int(items_.size()); }

  // Entries are laid out top to bottom in this many columns.
  int Columns() const { return columns_; }
  void SetColumns(int columns);

  // -1: nothing selected. A request past the end selects the last entry; anything below
  // -1 means no selection.
  int ItemIndex() const { return index_; }
  void SetItemIndex(int index);

  // Run whenever the selection changes, by the user or from code.
  std::function<void()> OnClick;

  QRadioButton* Button(int index) const;

 private:
  void Relayout();

  QStringList items_;
  int columns_ = 1;
  int index_ = -1;
  QButtonGroup* group_;
  QGridLayout* grid_;
  std::vector<QRadioButton*> buttons_;
};

}  // namespace ostrel
