#pragma once
// Taking entries in from another program: a CSV export (browsers, other keepers, our own export),
// told apart by its header row, or another Keyloft vault. Pure functions over the file's bytes.
#include "platform/base/ListItems.h"
#include "platform/base/Result.h"
#include "vault/EntryChange.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace transfer {

// The entries an import adds, in file order as code-page bytes, and the rows it leaves out.
struct ImportPlan {
  modGlobals::EntryBatch entries;
  std::int64_t withoutPassword = 0;
  std::int64_t alreadyThere = 0;             // the same three texts as an entry of the vault, or an earlier row
  std::int64_t unstorable = 0;               // characters the vault cannot store
  std::vector<std::int64_t> unstorableRows;  // row numbers in the file (a CSV's header is row 1)

  std::int64_t leftOut() const { return withoutPassword + alreadyThere + unstorable; }
};

// Hostile files stay small in memory: a CSV field over this many bytes, or a row of more fields,
// refuses the file.
inline constexpr std::size_t kMaxFieldBytes = 1 << 20;
inline constexpr std::size_t kMaxColumns = 256;

// The entries of a CSV export or of a plain Keyloft vault (an encrypted one's opened bytes) that
// `existing` lacks; a failure names the row and what is wrong with it.
platform::Result<ImportPlan> planImport(std::string_view fileBytes, const platform::ListItems& existing);

// The box's question for a plan: "Import 312 entries from passwords.csv?  7 rows are left out: ...".
std::string importQuestion(const ImportPlan& plan, const std::string& fileName);
// The box's text when nothing is left to import.
std::string nothingToImport(const ImportPlan& plan, const std::string& fileName);

}  // namespace transfer
