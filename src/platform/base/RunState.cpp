#include "RunState.h"

#include "Files.h"
#include "Secret.h"
#include "Settings.h"
#include "Shell.h"
#include "VersionRecord.h"

namespace platform {

void resetBaseForTests() {
  files::clearCallFaultsForTests();
  files::setProgramFolderForTests({});
  files::setRuntimeFolderForTests(std::nullopt);
  settings::setSettingsFolderForTests({});
  shell::setLauncherForTests({});
  secret::setReleaseObserverForTests(nullptr);
  setVersionRecordForTests(nullptr);
}

}  // namespace platform
