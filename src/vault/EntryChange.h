#pragma once
// Adding, replacing and removing one entry: each changes the list, saves, and on failure puts the
// list back as it was (its rows, their order and keys, the selection), the file untouched. An entry
// is named by its row and its three texts, so that a change never lands on a row that holds
// something else by then.
#include "platform/base/ListItems.h"
#include "platform/base/Result.h"
#include "platform/base/Secret.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

namespace modGlobals {

// A copy of one entry's texts (code-page bytes), its own and wiped when it goes.
struct Entry {
  platform::SecretBytes userName, password, location;

  static Entry of(const platform::ListRow& row);
  bool operator==(const Entry& other) const;
};

// Many entries (an import's) in one wiping buffer: their texts back to back, and where each
// entry's user name, password and location end in it.
struct EntryBatch {
  platform::SecretBytes texts;
  std::vector<std::array<std::size_t, 3>> ends;

  std::size_t count() const { return ends.size(); }
  std::array<std::string_view, 3> entry(std::size_t index) const;
  void add(std::string_view userName, std::string_view password, std::string_view location);
};

// Each failure is said in the status bar too. The list is the host's. When data.enc changed on
// disk since Keyloft last read or wrote it, each first lists the file again and applies itself to
// that, finding its entry by the texts it had when the command began.
// Adds the entry (at its sorted place while sorting is on); the new row's key.
platform::Result<std::uint64_t> addEntry(const Entry& entry);
// Replaces the entry that row `number` holds, which must still be `was`. Where the file read
// again no longer holds `was` (changed or deleted on another machine), `now` is added as a new
// entry, so that both versions survive.
struct Replaced {
  std::int64_t row = 0;     // the row's number after
  bool addedAsNew = false;  // `was` was gone from the file read again
};
platform::Result<Replaced> replaceEntry(std::int64_t number, const Entry& was, const Entry& now);
// Removes the entry that row `number` holds, which must still be `was`; an entry already gone
// from the file read again is not removed, and nothing is written.
platform::Result<std::monostate> removeEntry(std::int64_t number, const Entry& was);
// The first row that holds the entry's texts, or 0.
std::int64_t findEntry(const platform::ListItems& list, const Entry& entry);
// Appends the batch after the existing rows (sorted in while sorting is on) and saves once; on
// failure every added row goes again. How many were added.
platform::Result<std::int64_t> addEntries(const EntryBatch& batch);

}  // namespace modGlobals
