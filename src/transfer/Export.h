#pragma once
// Letting entries out: CSV with the header browsers and other keepers import,
// name,url,username,password,note, one row per entry in list order, UTF-8, RFC 4180 quoting.
#include "platform/base/ListItems.h"
#include "platform/base/Result.h"
#include "platform/base/Secret.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace transfer {

inline constexpr std::string_view kExportHeader = "name,url,username,password,note";

platform::SecretBytes exportCsv(const platform::ListItems& list);

// Writes the export as the vault is written (durable, atomic, a new file owner-only); how many
// entries it holds, or why it could not be written.
platform::Result<std::int64_t> writeExport(const std::string& path, const platform::ListItems& list);

// What the name column holds for a location: its host when it is a web address, else the location.
std::string_view nameOf(std::string_view location);

}  // namespace transfer
