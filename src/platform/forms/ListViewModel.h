#pragma once
// The table model over a ListItems: row bytes converted from the code page on display, one
// column per header. It is the items' observer, so every change reaches the view as a model
// signal; the view never holds a widget or an item object per row.
#include "platform/base/ListItems.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace platform {

class ListViewModel final : public QAbstractTableModel, public ListItemsObserver {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ListViewModel)

 public:
  ListViewModel(ListItems& items, QObject* parent);
  ~ListViewModel() override;

  void addColumn(const QString& text);
  int columns() const { return static_cast<int>(headers_.size()); }
  QString header(int column) const { return headers_.value(column); }

  // True between the start and the end of a change to the rows (selection signals from Qt's
  // own bookkeeping then are not the user's).
  bool changing() const { return changing_ > 0; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // A field as its cell shows it: at most kShownChars characters on one line, line breaks as a
  // mark and a cut shown by an ellipsis. A field of megabytes would otherwise be laid out whole on
  // every paint; the row itself keeps the whole text for copy, edit and save.
  static constexpr std::size_t kShownChars = 256;
  static QString shownText(std::string_view field);

  // ListItemsObserver
  void rowsAboutToBeInserted(std::int64_t first, std::int64_t last) override;
  void rowsInserted() override;
  void rowsAboutToBeRemoved(std::int64_t first, std::int64_t last) override;
  void rowsRemoved() override;
  void rowChanged(std::int64_t number) override;
  void orderAboutToChange() override;
  void orderChanged() override;

 signals:
  // After rows were removed or reordered, once the model is consistent again.
  void afterRowsMovedOrRemoved();
  // After rows were inserted, with their numbers.
  void afterRowsInserted(std::int64_t first, std::int64_t last);

 private:
  ListItems& items_;
  QStringList headers_;
  int changing_ = 0;
  std::int64_t insertFirst_ = 0, insertLast_ = 0;
  // Persistent indexes (selection, current row) by row key across a reordering.
  QModelIndexList movingFrom_;
  std::vector<std::uint64_t> movingKeys_;
};

}  // namespace platform
