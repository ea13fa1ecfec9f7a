#include "ListViewModel.h"

#include "platform/base/QtCodePage.h"

#include <unordered_map>

namespace platform {

QString ListViewModel::shownText(std::string_view field) {
  const bool cut = field.size() > kShownChars;
  QString text = codepage::toQString(field.substr(0, kShownChars));
  // One line per row: CR LF, CR and LF each show as one mark.
  const QChar mark(0x21B5);
  text.replace(QStringLiteral("\r\n"), mark);
  text.replace(QLatin1Char('\r'), mark);
  text.replace(QLatin1Char('\n'), mark);
  if (cut) text += QChar(0x2026);
  return text;
}

ListViewModel::ListViewModel(ListItems& items, QObject* parent) : QAbstractTableModel(parent), items_(items) {
  items_.setObserver(this);
}

ListViewModel::~ListViewModel() { items_.setObserver(nullptr); }

void ListViewModel::addColumn(const QString& text) {
  const int at = columns();
  beginInsertColumns({}, at, at);
  headers_.append(text);
  endInsertColumns();
}

int ListViewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(items_.count());
}

int ListViewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns(); }

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= items_.count()) return {};
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
    return shownText(items_.row(index.row() + 1).column(index.column()));
  return {};
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) return headers_.value(section);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  return {};
}

// ItemNeverHasChildren spares the tree view a per-row expansion lookup.
Qt::ItemFlags ListViewModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ListViewModel::rowsAboutToBeInserted(std::int64_t first, std::int64_t last) {
  ++changing_;
  insertFirst_ = first;
  insertLast_ = last;
  beginInsertRows({}, static_cast<int>(first - 1), static_cast<int>(last - 1));
}

void ListViewModel::rowsInserted() {
  endInsertRows();
  --changing_;
  emit afterRowsInserted(insertFirst_, insertLast_);
}

void ListViewModel::rowsAboutToBeRemoved(std::int64_t first, std::int64_t last) {
  ++changing_;
  beginRemoveRows({}, static_cast<int>(first - 1), static_cast<int>(last - 1));
}

void ListViewModel::rowsRemoved() {
  endRemoveRows();
  --changing_;
  emit afterRowsMovedOrRemoved();
}

void ListViewModel::rowChanged(std::int64_t number) {
  const int row = static_cast<int>(number - 1);
  emit dataChanged(index(row, 0), index(row, qMax(0, columns() - 1)));
}

void ListViewModel::orderAboutToChange() {
  ++changing_;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  movingFrom_ = persistentIndexList();
  movingKeys_.clear();
  for (const QModelIndex& i : std::as_const(movingFrom_)) movingKeys_.push_back(items_.row(i.row() + 1).key());
}

void ListViewModel::orderChanged() {
  if (!movingFrom_.isEmpty()) {
    // One pass over the rows finds the new places of the few rows the view holds on to.
    std::unordered_map<std::uint64_t, int> newRow;
    for (std::uint64_t key : movingKeys_) newRow.emplace(key, -1);
    for (std::int64_t n = 1; n <= items_.count(); ++n) {
      auto found = newRow.find(items_.row(n).key());
      if (found != newRow.end()) found->second = static_cast<int>(n - 1);
    }
    QModelIndexList to;
    for (qsizetype i = 0; i < movingFrom_.size(); ++i) {
      const int row = newRow[movingKeys_[static_cast<std::size_t>(i)]];
      to.append(row < 0 ? QModelIndex() : index(row, movingFrom_[i].column()));
    }
    changePersistentIndexList(movingFrom_, to);
  }
  movingFrom_.clear();
  movingKeys_.clear();
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  --changing_;
  emit afterRowsMovedOrRemoved();
}

}  // namespace platform
