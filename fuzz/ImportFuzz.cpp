// Feeds arbitrary bytes to Import as the chosen file (a CSV export or a plain vault): it must not
// crash, every entry it takes must be one the vault can store and not yet holds, and exporting
// what it took and importing that again must give the same entries.
// Run: build/fuzz/fuzz/fuzz_import fuzz/corpus/import -rss_limit_mb=2048 -timeout=5
#include "platform/base/ListItems.h"
#include "transfer/Export.h"
#include "transfer/Import.h"
#include "vault/StorableText.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void fail(const char* what) {
  std::fprintf(stderr, "fuzz_import: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One entry in the vault already, so that "already in your vault" is reached too.
  platform::ListItems vault;
  vault.add("ann", "pw", "https://a.example");
  auto plan = transfer::planImport(std::string_view(reinterpret_cast<const char*>(data), size), vault);
  if (!plan) return 0;
  platform::ListItems taken;
  for (std::size_t i = 0; i < plan->entries.count(); ++i) {
    const auto e = plan->entries.entry(i);
    if (vault::firstUnstorableField(e)) fail("an entry the vault cannot store was taken");
    if (e[1].empty()) fail("an entry without a password was taken");
    taken.add(e[0], e[1], e[2]);
  }
  const platform::SecretBytes csv = transfer::exportCsv(taken);
  auto again = transfer::planImport(csv.view(), {});
  if (!again) fail("our own export was refused");
  if (again->entries.count() != plan->entries.count()) fail("the export imported again has other entries");
  for (std::size_t i = 0; i < plan->entries.count(); ++i)
    if (again->entries.entry(i) != plan->entries.entry(i)) fail("an entry changed from export to import");
  return 0;
}
