#pragma once
// The list view control: report view over the rows of a ListItems (a model, no widget per row),
// columns with header texts and widths in twips, whole-row single selection mirrored into the
// rows' selected flags, and a column-click event with the 1-based header index.
#include "platform/base/ListItems.h"

#include <QTreeView>

namespace platform {

class ListViewModel;

class ListView : public QTreeView {
  Q_OBJECT

 public:
  explicit ListView(QWidget* parent = nullptr);
  ~ListView() override;

  ListItems& items() { return items_; }
  const ListItems& items() const { return items_; }

  // Column headers: add one (left-aligned), read its text, set or read its width in twips.
  // Column indexes are 1-based, as the column headers collection counts them.
  int addColumn(const QString& text);
  int columnCount() const;
  QString columnText(int index) const;
  void setColumnWidthTwips(int index, int twips);
  int columnWidthTwips(int index) const;

  // Selects one row (1-based) as a click would; 0 clears the selection.
  void selectRow(std::int64_t number);

 signals:
  // The 1-based index of a clicked column header.
  void columnClicked(int index);

 private:
  // The view's selection written into the rows' flags, and back after the rows changed.
  void mirrorSelectionIntoFlags();
  void restoreSelectionFromFlags();
  void clearFlagsExcept(std::int64_t number);
  int selectedViewRow() const;
  void showSortState();

  ListItems items_;
  ListViewModel* model_;
  bool restoring_ = false;
};

}  // namespace platform
