#pragma once
// The whole run's state back to program start, layer by layer from the windows down: what every
// fixture that loads windows calls before and after its test.
#include "app/RunState.h"
#include "browser/frmWebsite.h"
#include "list/modGlobals.h"
#include "platform/forms/RunState.h"
#include "skin/modSkin.h"
#include "support/VaultRunState.h"

namespace testing_support {

inline void resetRunState() {
  platform::resetFormsForTests();
  frmWebsite::browserMode.clear();
  modGlobals::resetEditorStateForTests();
  modSkin::resetForTests();
  app::resetForTests();
  resetVaultRunState();
}

}  // namespace testing_support
