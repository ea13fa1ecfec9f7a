#pragma once
// Whether texts would come back from data.enc exactly as given: written as a save writes them and
// read back as the start reads them. The one place that decides what the vault can store.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vault {

// True when the master password survives being the file's first line.
bool storesAsMasterPassword(std::u16string_view password);

// The index (0 user, 1 password, 2 location) of the first field of an entry line that would not
// come back as given, or nothing when all three do.
std::optional<std::size_t> firstUnstorableField(const std::array<std::u16string, 3>& fields);
// The same for texts that are code-page bytes already (an import's).
std::optional<std::size_t> firstUnstorableField(const std::array<std::string_view, 3>& fields);

}  // namespace vault
