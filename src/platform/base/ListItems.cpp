#include "ListItems.h"

#include "Secret.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace platform {
namespace {

// Collation weights of one code-page byte: base letter (primary), accent (secondary), case.
struct Weight {
  std::uint16_t primary;
  std::uint8_t accent;
  std::uint8_t upper;
};

std::array<Weight, 256> buildWeights() {
  std::array<Weight, 256> w{};
  for (int b = 0; b < 256; ++b) w[b] = {static_cast<std::uint16_t>(0x100 + b), 0, 0};  // symbols
  for (int b = 0; b < 0x20; ++b) w[b].primary = static_cast<std::uint16_t>(b);
  for (int d = '0'; d <= '9'; ++d) w[d].primary = static_cast<std::uint16_t>(0x300 + d);
  auto letter = [&](int byte, char base, bool upper, int accent) {
    int lower = base | 0x20;
    w[byte] = {static_cast<std::uint16_t>(0x400 + (lower - 'a')), static_cast<std::uint8_t>(accent),
               static_cast<std::uint8_t>(upper)};
  };
  for (char c = 'a'; c <= 'z'; ++c) {
    letter(c, c, false, 0);
    letter(c - 32, c, true, 0);
  }
  // Accented letters of the upper half: byte, base letter, upper case.
  struct Accented {
    int byte;
    char base;
    bool upper;
  };
  const Accented accented[] = {
      {0x83, 'f', false}, {0x8A, 's', true},  {0x8C, 'o', true},  {0x8E, 'z', true},  {0x9A, 's', false},
      {0x9C, 'o', false}, {0x9E, 'z', false}, {0x9F, 'y', true},  {0xC6, 'a', true},  {0xC7, 'c', true},
      {0xD0, 'd', true},  {0xD1, 'n', true},  {0xD8, 'o', true},  {0xDD, 'y', true},  {0xDE, 't', true},
      {0xDF, 's', false}, {0xE6, 'a', false}, {0xE7, 'c', false}, {0xF0, 'd', false}, {0xF1, 'n', false},
      {0xF8, 'o', false}, {0xFD, 'y', false}, {0xFE, 't', false}, {0xFF, 'y', false},
  };
  for (const auto& a : accented) letter(a.byte, a.base, a.upper, a.byte);
  const char vowels[] = {'a', 'e', 'i', 'o', 'u'};
  const int firsts[] = {0xC0, 0xC8, 0xCC, 0xD2, 0xD9};
  const int counts[] = {6, 4, 4, 5, 4};
  for (int v = 0; v < 5; ++v) {
    for (int i = 0; i < counts[v]; ++i) {
      letter(firsts[v] + i, vowels[v], true, firsts[v] + i);
      letter(firsts[v] + i + 0x20, vowels[v], false, firsts[v] + i);
    }
  }
  return w;
}

const std::array<Weight, 256> kWeights = buildWeights();

// Dense ranks of the primary weights, 1 up; 0 stands for "past the end of the text".
std::array<std::uint8_t, 256> buildPrimaryRanks() {
  std::vector<std::uint16_t> primaries;
  primaries.reserve(kWeights.size());
  for (const Weight& w : kWeights) primaries.push_back(w.primary);
  std::sort(primaries.begin(), primaries.end());
  primaries.erase(std::unique(primaries.begin(), primaries.end()), primaries.end());
  std::array<std::uint8_t, 256> rank{};
  for (int b = 0; b < 256; ++b)
    rank[b] = static_cast<std::uint8_t>(std::lower_bound(primaries.begin(), primaries.end(), kWeights[b].primary) -
                                        primaries.begin() + 1);
  return rank;
}

const std::array<std::uint8_t, 256> kPrimaryRank = buildPrimaryRanks();

std::uint8_t primaryRank(char c) { return kPrimaryRank[static_cast<unsigned char>(c)]; }

// The primary ranks of eight characters from `from` on, first most significant: two texts whose
// keys differ are ordered by compareText as their keys are.
std::uint64_t primaryKey(std::string_view text, std::size_t from) {
  std::uint64_t key = 0;
  for (std::size_t i = from; i < from + 8; ++i) key = (key << 8) | (i < text.size() ? primaryRank(text[i]) : 0u);
  return key;
}

}  // namespace

int compareText(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  int accent = 0, upper = 0, raw = 0;
  for (std::size_t i = 0; i < n; ++i) {
    auto ca = static_cast<unsigned char>(a[i]);
    auto cb = static_cast<unsigned char>(b[i]);
    if (ca == cb) continue;
    const Weight& wa = kWeights[ca];
    const Weight& wb = kWeights[cb];
    if (wa.primary != wb.primary) return wa.primary < wb.primary ? -1 : 1;
    if (!accent && wa.accent != wb.accent) accent = wa.accent < wb.accent ? -1 : 1;
    if (!upper && wa.upper != wb.upper) upper = wa.upper < wb.upper ? -1 : 1;
    if (!raw) raw = ca < cb ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  if (accent) return accent;
  if (upper) return upper;
  return raw;
}

std::string_view ListRow::subItem(int index) const {
  if (index == 1) return {data_ + cut1_, cut2_ - cut1_};
  if (index == 2) return {data_ + cut2_, end_ - cut2_};
  return {};
}

char* ListItems::allocate(std::size_t bytes) {
  if (bytes > freeBytes_) {
    constexpr std::size_t kBlock = 1 << 20;
    std::size_t size = std::max(kBlock, bytes);
    blocks_.push_back({std::make_unique_for_overwrite<char[]>(size), size});
    free_ = blocks_.back().bytes.get();
    freeBytes_ = size;
  }
  char* at = free_;
  free_ += bytes;
  freeBytes_ -= bytes;
  return at;
}

void ListItems::store(ListRow& row, std::string_view text, std::string_view sub1, std::string_view sub2) {
  const std::size_t total = text.size() + sub1.size() + sub2.size();
  char* at = allocate(total);
  // The sources may be texts of this same list; they stay in place, as storage is only added to.
  char* to = at;
  for (std::string_view part : {text, sub1, sub2}) {
    if (!part.empty()) std::memcpy(to, part.data(), part.size());
    to += part.size();
  }
  row.data_ = at;
  row.cut1_ = static_cast<std::uint32_t>(text.size());
  row.cut2_ = static_cast<std::uint32_t>(text.size() + sub1.size());
  row.end_ = static_cast<std::uint32_t>(total);
}

ListRow ListItems::makeRow(std::string_view text, std::string_view sub1, std::string_view sub2,
                           void (*transform)(char*, std::size_t)) {
  ListRow r;
  store(r, text, sub1, sub2);
  if (transform) transform(const_cast<char*>(r.data_), r.end_);
  r.key_ = nextKey_++;
  return r;
}

std::int64_t ListItems::add(std::string_view text, std::string_view sub1, std::string_view sub2) {
  ListRow r = makeRow(text, sub1, sub2);
  std::int64_t number = count() + 1;
  if (sorted_) {
    auto at = std::upper_bound(rows_.begin(), rows_.end(), r,
                               [this](const ListRow& x, const ListRow& y) { return before(x, y); });
    number = (at - rows_.begin()) + 1;
  }
  if (observer_) observer_->rowsAboutToBeInserted(number, number);
  rows_.insert(rows_.begin() + (number - 1), r);
  if (observer_) observer_->rowsInserted();
  return number;
}

void ListItems::appendRows(std::vector<ListRow>&& rows) {
  if (rows.empty()) return;
  std::int64_t first = count() + 1;
  // Room is made before the view is told: running out of memory then leaves list and view as they were.
  if (!rows_.empty()) rows_.reserve(rows_.size() + rows.size());
  if (observer_) observer_->rowsAboutToBeInserted(first, first + static_cast<std::int64_t>(rows.size()) - 1);
  if (rows_.empty()) {
    rows_ = std::move(rows);
  } else {
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
  }
  if (observer_) observer_->rowsInserted();
  if (sorted_) sortRows();
}

std::int64_t ListItems::setRow(std::int64_t number, std::string_view text, std::string_view sub1,
                               std::string_view sub2) {
  store(rows_[static_cast<std::size_t>(number - 1)], text, sub1, sub2);
  if (observer_) observer_->rowChanged(number);
  return sorted_ ? placeSorted(number) : number;
}

// Moves one row whose text changed to its place in the sorted order.
std::int64_t ListItems::placeSorted(std::int64_t number) {
  auto from = rows_.begin() + (number - 1);
  auto cmp = [this](const ListRow& x, const ListRow& y) { return before(x, y); };
  auto lower = std::upper_bound(rows_.begin(), from, *from, cmp);
  auto upper = std::lower_bound(from + 1, rows_.end(), *from, cmp);
  if (lower == from && upper == from + 1) return number;
  if (observer_) observer_->orderAboutToChange();
  std::int64_t to;
  if (lower != from) {
    std::rotate(lower, from, from + 1);
    to = (lower - rows_.begin()) + 1;
  } else {
    std::rotate(from, from + 1, upper);
    to = (upper - rows_.begin());
  }
  if (observer_) observer_->orderChanged();
  return to;
}

void ListItems::remove(std::int64_t number) { take(number); }

ListRow ListItems::take(std::int64_t number) {
  if (observer_) observer_->rowsAboutToBeRemoved(number, number);
  ListRow row = rows_[static_cast<std::size_t>(number - 1)];
  rows_.erase(rows_.begin() + (number - 1));
  if (observer_) observer_->rowsRemoved();
  return row;
}

void ListItems::insert(std::int64_t number, ListRow&& row) {
  if (observer_) observer_->rowsAboutToBeInserted(number, number);
  rows_.insert(rows_.begin() + (number - 1), row);
  if (observer_) observer_->rowsInserted();
}

void ListItems::clear() {
  if (!rows_.empty()) {
    if (observer_) observer_->rowsAboutToBeRemoved(1, count());
    rows_.clear();
    if (observer_) observer_->rowsRemoved();
  }
  rows_.shrink_to_fit();
  // The texts are passwords: nothing of them stays behind in freed memory (a lock clears the list).
  for (Block& block : blocks_) secret::wipe(block.bytes.get(), block.size);
  blocks_.clear();
  free_ = nullptr;
  freeBytes_ = 0;
}

void ListItems::setSelected(std::int64_t number, bool selected) {
  rows_[static_cast<std::size_t>(number - 1)].selected_ = selected;
}

std::int64_t ListItems::firstSelected() const {
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].selected_) return static_cast<std::int64_t>(i) + 1;
  return 0;
}

std::int64_t ListItems::findKey(std::uint64_t key) const {
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].key_ == key) return static_cast<std::int64_t>(i) + 1;
  return 0;
}

void ListItems::setSorted(bool on) {
  bool was = sorted_;
  sorted_ = on;
  if (on && !was) sortRows();
}

void ListItems::setSortKey(int column) {
  sortKey_ = column;
  if (sorted_) sortRows();
}

void ListItems::setSortOrder(int order) {
  sortOrder_ = order;
  if (sorted_) sortRows();
}

bool ListItems::before(const ListRow& a, const ListRow& b) const {
  int c = compareText(a.column(sortKey_), b.column(sortKey_));
  return sortOrder_ == kSortDescending ? c > 0 : c < 0;
}

// The same order as a stable sort by before(), made fast for big lists: indexes are sorted by a
// packed key of eight primaries taken after the prefix all rows share ("https://www."), and only
// rows whose keys tie are compared in full; the rows are moved once, at the end.
void ListItems::sortRows() {
  if (rows_.size() < 2) return;
  const int column = sortKey_;
  const std::string_view first = rows_[0].column(column);
  std::size_t common = first.size();
  for (const ListRow& r : rows_) {
    const std::string_view text = r.column(column);
    std::size_t i = 0;
    const std::size_t n = std::min(common, text.size());
    while (i < n && primaryRank(text[i]) == primaryRank(first[i])) ++i;
    common = i;
    if (common == 0) break;
  }
  struct Slot {
    std::uint64_t key;
    std::uint32_t index;
  };
  std::vector<Slot> order(rows_.size());
  for (std::size_t i = 0; i < rows_.size(); ++i)
    order[i] = {primaryKey(rows_[i].column(column), common), static_cast<std::uint32_t>(i)};
  const bool descending = sortOrder_ == kSortDescending;
  std::sort(order.begin(), order.end(), [&](const Slot& a, const Slot& b) {
    if (a.key != b.key) return descending ? a.key > b.key : a.key < b.key;
    const int c = compareText(rows_[a.index].column(column), rows_[b.index].column(column));
    if (c != 0) return descending ? c > 0 : c < 0;
    return a.index < b.index;  // equal texts keep their order
  });
  std::vector<ListRow> sorted;
  sorted.reserve(rows_.size());
  // Every allocation is behind: the view is told only of a change that can no longer fail.
  if (observer_) observer_->orderAboutToChange();
  for (const Slot& s : order) sorted.push_back(rows_[s.index]);
  rows_ = std::move(sorted);
  if (observer_) observer_->orderChanged();
}

}  // namespace platform
