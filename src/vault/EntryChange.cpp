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

}  // namespace modGlobals
