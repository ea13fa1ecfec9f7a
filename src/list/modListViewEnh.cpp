#include "modListViewEnh.h"

#include "platform/forms/ListView.h"
#include "platform/forms/MessageBox.h"

#include <QString>

namespace modListViewEnh {
namespace {

// The list control's own error for a header index outside its column headers collection.
constexpr int kIndexOutOfBounds = 35600;

bool fail(QWidget* owner, int number, const QString& description, bool showErrors) {
  if (showErrors) {
    namespace mb = platform::msgbox;
    mb::msgBox(QStringLiteral("Error") + QString::number(number) + QLatin1Char('\t') + description,
               mb::vbOKOnly | mb::vbInformation, QStringLiteral("Error in Function : EnhListView_SortColumns"), owner);
  }
  return false;
}

}  // namespace

bool EnhListView_SortColumns(platform::ListView& list, int columnIndex, bool showErrors) {
  platform::ListItems& items = list.items();
  if (items.count() == 0) return true;

  if (columnIndex < 1 || columnIndex > list.columnCount()) {
    // The sorting switch is turned on before the header is looked up, and stays on.
    items.setSorted(true);
    return fail(&list, kIndexOutOfBounds, QStringLiteral("Index out of bounds"), showErrors);
  }

  const int column = columnIndex - 1;
  const int order = items.sortOrder() == platform::kSortAscending ? platform::kSortDescending
                                                                  : platform::kSortAscending;
  // Each setting re-sorts a sorted list; with the switch off while both change, the rows are
  // sorted once, when it goes back on.
  items.setSorted(false);
  items.setSortKey(column);
  items.setSortOrder(order);
  items.setSorted(true);
  return true;
}

}  // namespace modListViewEnh
