#include "EntryChange.h"

#include "modGlobals.h"
#include "VaultInternals.h"

namespace modGlobals {
namespace {

using namespace internal;
using platform::Failure;
namespace column = platform::column;

constexpr char kGone[] = "The entry is no longer in the list";

// The list, when row `number` still holds `was`; otherwise nothing, and the status bar says why.
platform::ListItems* listHolding(std::int64_t number, const Entry& was) {
  platform::ListItems* list = entryList();
  if (list && number >= 1 && number <= list->count() && Entry::of(list->row(number)) == was) return list;
  status(u16(std::string(kGone) + "."));
  return nullptr;
}

std::int64_t setRow(platform::ListItems& list, std::int64_t number, const Entry& e) {
  return list.setRow(number, e.userName, e.password, e.location);
}

}  // namespace

Entry Entry::of(const platform::ListRow& row) {
  return {row.column(column::kUserName), row.column(column::kPassword), row.column(column::kLocation)};
}

bool Entry::operator==(const Entry& other) const {
  return userName == other.userName.view() && password == other.password.view() && location == other.location.view();
}

std::int64_t findEntry(const platform::ListItems& list, const Entry& entry) {
  for (std::int64_t n = 1; n <= list.count(); ++n)
    if (Entry::of(list.row(n)) == entry) return n;
  return 0;
}

platform::Result<std::uint64_t> addEntry(const Entry& entry) {
  platform::ListItems* list = entryList();
  if (!list) return saveVault().failure();  // refuses, and says that the list is not open
  if (auto fresh = catchUp(); !fresh) return Failure{fresh.why()};
  const std::uint64_t key = list->row(list->add(entry.userName, entry.password, entry.location)).key();
  if (auto saved = saveVault(); !saved) {
    list->remove(list->findKey(key));
    return saved.failure();
  }
  return key;
}

platform::Result<Replaced> replaceEntry(std::int64_t number, const Entry& was, const Entry& now) {
  if (entryList()) {
    auto fresh = catchUp();
    if (!fresh) return Failure{fresh.why()};
    if (*fresh && (number = findEntry(*entryList(), was)) == 0) {
      auto added = addEntry(now);
      if (!added) return Failure{added.why()};
      return Replaced{entryList()->findKey(*added), true};
    }
  }
  platform::ListItems* list = listHolding(number, was);
  if (!list) return Failure{kGone};
  const std::uint64_t key = list->row(number).key();
  const std::int64_t placed = setRow(*list, number, now);
  if (auto saved = saveVault(); !saved) {
    setRow(*list, list->findKey(key), was);
    return saved.failure();
  }
  return Replaced{placed, false};
}

platform::Result<std::monostate> removeEntry(std::int64_t number, const Entry& was) {
  if (entryList()) {
    auto fresh = catchUp();
    if (!fresh) return Failure{fresh.why()};
    if (*fresh && (number = findEntry(*entryList(), was)) == 0) return std::monostate{};
  }
  platform::ListItems* list = listHolding(number, was);
  if (!list) return Failure{kGone};
  // Taken out whole, the row goes back where it was, key and selection kept.
  platform::ListRow taken = list->take(number);
  if (auto saved = saveVault(); !saved) {
    list->insert(number, platform::ListRow(taken));
    return saved;
  }
  return std::monostate{};
}

std::array<std::string_view, 3> EntryBatch::entry(std::size_t index) const {
  const std::string_view all = texts.view();
  std::size_t from = index == 0 ? 0 : ends[index - 1][2];
  std::array<std::string_view, 3> fields;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i] = all.substr(from, ends[index][i] - from);
    from = ends[index][i];
  }
  return fields;
}

void EntryBatch::add(std::string_view userName, std::string_view password, std::string_view location) {
  std::array<std::size_t, 3> end{};
  std::size_t i = 0;
  for (std::string_view field : {userName, password, location}) {
    texts.append(field);
    end[i++] = texts.size();
  }
  ends.push_back(end);
}

platform::Result<std::int64_t> addEntries(const EntryBatch& batch) {
  platform::ListItems* list = entryList();
  if (!list) return saveVault().failure();  // refuses, and says that the list is not open
  if (auto fresh = catchUp(); !fresh) return Failure{fresh.why()};
  std::vector<platform::ListRow> rows;
  rows.reserve(batch.count());
  for (std::size_t i = 0; i < batch.count(); ++i) {
    const auto fields = batch.entry(i);
    rows.push_back(list->makeRow(fields[0], fields[1], fields[2]));
  }
  // Keys are handed out in order: every row made from here on is one of the batch.
  const std::uint64_t firstKey = rows.empty() ? 0 : rows.front().key();
  const auto added = static_cast<std::int64_t>(rows.size());
  list->appendRows(std::move(rows));
  if (added == 0) return added;
  if (auto saved = saveVault(); !saved) {
    // From the last row up: unsorted, the batch is all at the end and each removal costs nothing.
    for (std::int64_t number = list->count(); number >= 1; --number)
      if (list->row(number).key() >= firstKey) list->remove(number);
    return saved.failure();
  }
  return added;
}

}  // namespace modGlobals
