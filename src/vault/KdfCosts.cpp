// The program's key costs: chosen on this machine, never below the floor.
#include "vault/KdfCosts.h"

#include "vault/SealedVault.h"

#include <sodium.h>

namespace vault::sealed {

KdfParams costsForNewKey() { return chooseParams(); }

KdfParams leastCosts() { return {kMinChosenOpsLimit, kMinChosenMemLimit}; }

bool argon2id(unsigned char* key, std::size_t keySize, std::string_view password, const unsigned char* salt,
              const KdfParams& params) {
  return crypto_pwhash(key, keySize, password.data(), password.size(), salt, params.opsLimit,
                       static_cast<std::size_t>(params.memLimit), crypto_pwhash_ALG_ARGON2ID13) == 0;
}

}  // namespace vault::sealed
