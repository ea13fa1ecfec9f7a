#pragma once
// The rows of the list view: item text and two sub-items per row, held as code-page bytes,
// with a selected flag and the list's sort settings. The view is a model over these rows.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The entry list's columns: the item text, then sub-items 1 and 2.
namespace column {
inline constexpr int kUserName = 0;
inline constexpr int kPassword = 1;
inline constexpr int kLocation = 2;
}  // namespace column

// A row's texts live in its list's storage: a copy of a row stays readable until the list is
// cleared (texts of removed or replaced rows are kept until then).
class ListRow {
 public:
  ListRow() = default;

  std::string_view text() const { return {data_, cut1_}; }
  // Sub-item 1 or 2; any other index is empty.
  std::string_view subItem(int index) const;
  // Column 0 is the item text, columns 1 and 2 the sub-items.
  std::string_view column(int column) const { return column == 0 ? text() : subItem(column); }
  // Stays with the row through sorts, edits and the removal of other rows.
  std::uint64_t key() const { return key_; }
  bool selected() const { return selected_; }

 private:
  friend class ListItems;

  const char* data_ = "";  // text, sub-item 1 and sub-item 2 back to back
  std::uint32_t cut1_ = 0, cut2_ = 0, end_ = 0;
  std::uint64_t key_ = 0;
  bool selected_ = false;
};

// Told of every change so that a view can follow.
class ListItemsObserver {
 public:
  virtual ~ListItemsObserver() = default;
  virtual void rowsAboutToBeInserted(std::int64_t first, std::int64_t last) = 0;
  virtual void rowsInserted() = 0;
  virtual void rowsAboutToBeRemoved(std::int64_t first, std::int64_t last) = 0;
  virtual void rowsRemoved() = 0;
  virtual void rowChanged(std::int64_t number) = 0;
  virtual void orderAboutToChange() = 0;
  virtual void orderChanged() = 0;
};

// Sort order values as the list control names them.
inline constexpr int kSortAscending = 0;
inline constexpr int kSortDescending = 1;

class ListItems {
 public:
  // Rows are numbered from 1 in the list's current order.
  std::int64_t count() const { return static_cast<std::int64_t>(rows_.size()); }
  const ListRow& row(std::int64_t number) const { return rows_[static_cast<std::size_t>(number - 1)]; }

  // Adds a row and returns its number: at the end, or at its sorted place while sorting is on.
  std::int64_t add(std::string_view text, std::string_view sub1 = {}, std::string_view sub2 = {});
  // Appends many rows with one notification (loading a vault). `transform`, when given, is applied
  // to the row's bytes after they are copied (all three texts, back to back).
  ListRow makeRow(std::string_view text, std::string_view sub1, std::string_view sub2,
                  void (*transform)(char* bytes, std::size_t count) = nullptr);
  void appendRows(std::vector<ListRow>&& rows);
  // A made row that goes in selected (a list read again keeps its selected entry).
  static void markSelected(ListRow& row) { row.selected_ = true; }
  void reserve(std::size_t rows) { rows_.reserve(rows); }

  // Sets all three texts of a row; while sorting is on the row moves to its sorted place.
  // Returns the row's number afterwards.
  std::int64_t setRow(std::int64_t number, std::string_view text, std::string_view sub1, std::string_view sub2);
  void remove(std::int64_t number);
  // Takes a row out whole and puts it back (key and selection kept), so a failed change can be undone.
  ListRow take(std::int64_t number);
  void insert(std::int64_t number, ListRow&& row);
  // Removes every row and releases the storage of their texts.
  void clear();

  void setSelected(std::int64_t number, bool selected);
  // The first selected row in row order, or 0 when none is.
  std::int64_t firstSelected() const;
  // The number of the row with this key, or 0 when it is gone.
  std::int64_t findKey(std::uint64_t key) const;

  bool sorted() const { return sorted_; }
  int sortKey() const { return sortKey_; }
  int sortOrder() const { return sortOrder_; }
  // As with the list control: while sorting is on, each of these sorts the rows again.
  void setSorted(bool on);
  void setSortKey(int column);
  void setSortOrder(int order);

  void setObserver(ListItemsObserver* observer) { observer_ = observer; }

 private:
  void sortRows();
  std::int64_t placeSorted(std::int64_t number);
  bool before(const ListRow& a, const ListRow& b) const;

  // Copies the three texts back to back into the list's storage.
  void store(ListRow& row, std::string_view text, std::string_view sub1, std::string_view sub2);
  char* allocate(std::size_t bytes);

  std::vector<ListRow> rows_;
  // Texts are packed into large blocks: a million rows cost no allocation each.
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
  };
  std::vector<Block> blocks_;
  char* free_ = nullptr;
  std::size_t freeBytes_ = 0;
  std::uint64_t nextKey_ = 1;
  bool sorted_ = false;
  int sortKey_ = 0;
  int sortOrder_ = kSortAscending;
  ListItemsObserver* observer_ = nullptr;
};

// Alphabetical order of two code-page texts: letter case and accents are set aside first and
// only break ties; digits compare as characters, so "10" comes before "9".
int compareText(std::string_view a, std::string_view b);

}  // namespace platform
