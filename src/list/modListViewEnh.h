#pragma once
// Sorting a list view by a clicked column header, each click reversing the direction.
namespace platform {
class ListView;
}

namespace modListViewEnh {

// Sorts `list` by the column whose 1-based header index is given, in the direction opposite to
// the one the list holds now (read back from the list each time; nothing is kept here). An empty
// list is left as it is. Returns false when a failure stopped it; with `showErrors` the failure
// is also shown in a message box.
bool EnhListView_SortColumns(platform::ListView& list, int columnIndex, bool showErrors);

}  // namespace modListViewEnh
