#include "RunState.h"

#include "endProgram.h"
#include "modLivery.h"

namespace app {

AppRunState& appRunState() {
  static AppRunState state;
  return state;
}

void resetForTests() {
  modLivery::productName.clear();
  modLivery::companyName.clear();
  modLivery::productSiteName.clear();
  modLivery::productWebAddress.clear();
  modLivery::useSkin = false;
  endWhenBrowserCloses = false;
  setProgramTerminatorForTests({});
}

}  // namespace app
