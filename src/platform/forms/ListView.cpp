#include "ListView.h"

#include "ListViewModel.h"
#include "Twips.h"

#include <QHeaderView>
#include <QScopedValueRollback>

namespace platform {

ListView::ListView(QWidget* parent) : QTreeView(parent), model_(new ListViewModel(items_, this)) {
  setAccessibleName(QStringLiteral("Entries list"));
  // A flat report: no tree decoration, one row height for all rows (so a million rows need no
  // per-row measuring), whole rows selected one at a time, no editing in place.
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setExpandsOnDoubleClick(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);  // the rows sort themselves; a header click is only reported
  setModel(model_);

  QHeaderView* head = header();
  head->setStretchLastSection(false);
  head->setSectionsClickable(true);
  head->setSectionsMovable(false);
  head->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  connect(head, &QHeaderView::sectionClicked, this, [this](int section) {
    emit columnClicked(section + 1);
    // The header flips its own indicator on a click; the rows' settings decide what it shows.
    showSortState();
  });
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &ListView::mirrorSelectionIntoFlags);
  connect(model_, &ListViewModel::afterRowsMovedOrRemoved, this, [this] {
    restoreSelectionFromFlags();
    showSortState();
  });
  connect(model_, &ListViewModel::afterRowsInserted, this, [this](std::int64_t first, std::int64_t last) {
    // A row put back whole (an undone change) may come with its selection.
    for (std::int64_t n = first; n <= last; ++n) {
      if (items_.row(n).selected()) {
        restoreSelectionFromFlags();
        break;
      }
    }
    showSortState();
  });
  showSortState();
}

ListView::~ListView() {
  // The model observes items_, which goes before the view's children do.
  setModel(nullptr);
  delete model_;
}

int ListView::addColumn(const QString& text) {
  model_->addColumn(text);
  return model_->columns();
}

int ListView::columnCount() const { return model_->columns(); }

QString ListView::columnText(int index) const { return model_->header(index - 1); }

void ListView::setColumnWidthTwips(int index, int twips) {
  if (index < 1 || index > model_->columns()) return;
  setColumnWidth(index - 1, qMax(0, twips::toPixelsX(twips)));
}

int ListView::columnWidthTwips(int index) const {
  if (index < 1 || index > model_->columns()) return 0;
  return twips::fromPixelsX(columnWidth(index - 1));
}

void ListView::selectRow(std::int64_t number) {
  if (number < 0 || number > items_.count()) return;
  if (number == 0) {
    selectionModel()->clearSelection();
    clearFlagsExcept(0);
    return;
  }
  const QModelIndex index = model_->index(static_cast<int>(number - 1), 0);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollTo(index);
}

int ListView::selectedViewRow() const {
  const QItemSelection selection = selectionModel()->selection();
  return selection.isEmpty() ? -1 : selection.first().top();
}

void ListView::clearFlagsExcept(std::int64_t number) {
  for (std::int64_t n = 1; n <= items_.count(); ++n)
    if (n != number && items_.row(n).selected()) items_.setSelected(n, false);
}

// One selected row at most: the flags follow the user's (or selectRow's) choice.
void ListView::mirrorSelectionIntoFlags() {
  if (restoring_ || model_->changing()) return;
  const int row = selectedViewRow();
  const std::int64_t number = row < 0 ? 0 : row + 1;
  clearFlagsExcept(number);
  if (number > 0 && number <= items_.count()) items_.setSelected(number, true);
}

// Qt's own bookkeeping during a sort or a removal may move or drop the view's selection;
// the flags, which travel with the rows, say where it belongs.
void ListView::restoreSelectionFromFlags() {
  const std::int64_t flagged = items_.firstSelected();
  clearFlagsExcept(flagged);
  const int want = flagged > 0 ? static_cast<int>(flagged - 1) : -1;
  if (selectedViewRow() == want) return;
  QScopedValueRollback<bool> guard(restoring_, true);
  if (want < 0) {
    selectionModel()->clearSelection();
  } else {
    selectionModel()->setCurrentIndex(model_->index(want, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
}

void ListView::showSortState() {
  QHeaderView* head = header();
  head->setSortIndicatorShown(items_.sorted());
  if (items_.sorted())
    head->setSortIndicator(items_.sortKey(),
                           items_.sortOrder() == kSortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

}  // namespace platform
