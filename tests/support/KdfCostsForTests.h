#pragma once
// The key costs tests and benchmarks link in place of the program's: cheap unless a test asks
// otherwise, and a derivation that can be made to fail as if its memory could not be had.
#include "vault/KdfCosts.h"

namespace vault::sealed {

// By default new keys cost 1 pass over 8 MiB, and so does the least a vault may keep.
void setKdfCostsForTests(KdfParams forNewKeys, KdfParams least);
void resetKdfCostsForTests();
void failKeyDerivationsForTests(bool fail);

inline constexpr KdfParams kCheapKdfForTests{1, 8ULL << 20};

}  // namespace vault::sealed
