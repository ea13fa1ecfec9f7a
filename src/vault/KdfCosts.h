#pragma once
// How dear a vault's key is to derive. The program links the fixed choice (KdfCosts.cpp); tests
// and benchmarks link an adjustable one of their own, so nothing in the program can make a key
// cheaper to guess than this machine's choice.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vault::sealed {

// Argon2id's cost, stored in the header.
struct KdfParams {
  std::uint64_t opsLimit = 0;  // passes
  std::uint64_t memLimit = 0;  // bytes
};

// The costs a new key gets (when a vault is encrypted, or encrypted again).
KdfParams costsForNewKey();
// The least a vault may keep: one that asks for less is encrypted again once it is open.
KdfParams leastCosts();
// Argon2id into `key`; false when it could not run (its memory could not be had).
bool argon2id(unsigned char* key, std::size_t keySize, std::string_view password, const unsigned char* salt,
              const KdfParams& params);

}  // namespace vault::sealed
