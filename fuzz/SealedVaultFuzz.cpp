// Feeds arbitrary bytes to the sealed vault's header check and, when the header is sound, to its
// opening with one fixed key: neither may crash, allocate beyond the header's limits or hand out
// bytes that did not come sealed; what opens must seal and open again to the same bytes. The key
// is derived once, with the salt the seeds were sealed with, so that the seeds open and mutations
// of them reach the decryption; unlock() is left out, since each call derives a key.
// Run: build/fuzz/fuzz/fuzz_sealed_vault fuzz/corpus/sealed_vault -rss_limit_mb=2048 -timeout=5
#include "vault/SealedVault.h"

#include <sodium.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace vault::sealed;

// The seeds' password and salt; tiny parameters keep the one derivation quick.
constexpr std::string_view kPassword = "fuzz";
constexpr KdfParams kTiny{1, 8ULL << 20};
constexpr std::size_t kHeaderAndTag = 94 + 16;

Sealing* g_sealing = nullptr;

void fail(const char* what) {
  std::fprintf(stderr, "fuzz_sealed_vault: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_sealing = new Sealing;
  g_sealing->params = kTiny;
  for (std::size_t i = 0; i < kSaltSize; ++i) g_sealing->salt[i] = static_cast<unsigned char>(i);
  if (crypto_pwhash(g_sealing->key.data(), Key::kSize, kPassword.data(), kPassword.size(), g_sealing->salt.data(),
                    kTiny.opsLimit, kTiny.memLimit, crypto_pwhash_ALG_ARGON2ID13) != 0)
    fail("the fixed key could not be derived");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (auto problem = headerProblem(bytes)) {
    if (problem->empty()) fail("a header problem without a sentence");
    return 0;
  }
  auto plain = open(bytes, *g_sealing);
  if (!plain) {
    if (plain.why().empty()) fail("a failed open without a sentence");
    return 0;
  }
  if (plain->size() + kHeaderAndTag != size) fail("the opened bytes are not the sealed content's length");
  auto resealed = seal(*plain, *g_sealing);
  if (!resealed) fail("a reseal failed");
  auto again = open(*resealed, *g_sealing);
  if (!again || *again != *plain) fail("a reseal did not open as sealed");
  return 0;
}
