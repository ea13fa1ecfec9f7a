// Feeds arbitrary bytes to the vault's load and save as the whole of data.enc: the load must not
// crash, a fresh load of the saved bytes must give the same rows, and saving those again must give
// the same bytes (no drift from load to load). The file itself is left out for speed: its faults
// are the fault-injection tests' part.
// Run: build/fuzz/fuzz/fuzz_vault fuzz/corpus/vault -rss_limit_mb=2048 -timeout=5
#include "platform/base/ListItems.h"
#include "platform/base/Secret.h"
#include "vault/modGlobals.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

platform::ListItems* g_list = nullptr;

void fail(const char* what) {
  std::fprintf(stderr, "fuzz_vault: %s\n", what);
  std::abort();
}

bool endsInBar(std::string_view s) { return !s.empty() && s.back() == '|'; }

// A list packs its texts into 1 MB blocks; a fresh list per input would spend the run mapping and
// unmapping them. Emptied row by row the blocks stay, and are let go now and then.
void empty(platform::ListItems& list, int& uses) {
  if (++uses % 256 == 0) {
    list.clear();
    return;
  }
  while (list.count() > 0) list.remove(list.count());
}

platform::SecretBytes loadAndSave(platform::ListItems& list, std::string_view bytes) {
  g_list = &list;
  if (modGlobals::addEntriesOf(bytes) != list.count()) fail("the count of loaded rows is wrong");
  return modGlobals::savedImage(list);
}

}  // namespace

// The rows being loaded are the vault's list.
struct FuzzHost final : modGlobals::VaultHost {
  platform::ListItems* list() override { return g_list; }
};

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static FuzzHost host;
  modGlobals::setVaultHost(&host);
  modGlobals::masterPassword = u"pw";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::ListItems first, second;
  static int uses = 0;
  empty(first, uses);
  empty(second, uses);
  const platform::SecretBytes saved = loadAndSave(first, std::string_view(reinterpret_cast<const char*>(data), size));
  if (loadAndSave(second, saved) != saved.view()) fail("a saved vault changed when loaded and saved again");
  if (second.count() != first.count()) fail("a row was lost or gained");
  for (std::int64_t r = 1; r <= first.count(); ++r) {
    const auto& a = first.row(r);
    const auto& b = second.row(r);
    // A user or password ending in "|" runs into the separator: the format can't hold it.
    if (endsInBar(a.text()) || endsInBar(a.subItem(1))) continue;
    if (a.text() != b.text() || a.subItem(1) != b.subItem(1) || a.subItem(2) != b.subItem(2)) fail("a row changed");
  }
  return 0;
}
