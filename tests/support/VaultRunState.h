#pragma once
// The run-wide state below the windows, back to program start: the vault (its lock let go, its
// passwords wiped), the tests' key costs and the base layer's seams.
#include "platform/base/Files.h"
#include "platform/base/RunState.h"
#include "support/KdfCostsForTests.h"
#include "vault/modGlobals.h"

namespace testing_support {

inline void resetVaultRunState() {
  modGlobals::setVaultHost(nullptr);
  modGlobals::resetVaultForTests();
  vault::sealed::resetKdfCostsForTests();
  platform::resetBaseForTests();
  // Tests lock their temporary vaults beside them, never in the user's runtime folder.
  platform::files::setRuntimeFolderForTests(std::string());
}

}  // namespace testing_support
