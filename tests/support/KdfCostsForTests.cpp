#include "KdfCostsForTests.h"

#include <sodium.h>

#include <atomic>

namespace vault::sealed {
namespace {
KdfParams g_forNewKeys = kCheapKdfForTests;
KdfParams g_least = kCheapKdfForTests;
std::atomic<bool> g_fail{false};  // read on the derivation's worker thread
}  // namespace

void setKdfCostsForTests(KdfParams forNewKeys, KdfParams least) {
  g_forNewKeys = forNewKeys;
  g_least = least;
}

void resetKdfCostsForTests() {
  setKdfCostsForTests(kCheapKdfForTests, kCheapKdfForTests);
  g_fail = false;
}

void failKeyDerivationsForTests(bool fail) { g_fail = fail; }

KdfParams costsForNewKey() { return g_forNewKeys; }

KdfParams leastCosts() { return g_least; }

bool argon2id(unsigned char* key, std::size_t keySize, std::string_view password, const unsigned char* salt,
              const KdfParams& params) {
  if (g_fail) return false;
  return crypto_pwhash(key, keySize, password.data(), password.size(), salt, params.opsLimit,
                       static_cast<std::size_t>(params.memLimit), crypto_pwhash_ALG_ARGON2ID13) == 0;
}

}  // namespace vault::sealed
