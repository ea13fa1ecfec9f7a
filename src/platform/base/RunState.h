#pragma once
// The base layer's run-wide state, in one place with one reset: each file of the layer keeps its
// part here instead of a variable of its own.
#include "Files.h"
#include "Shell.h"
#include "VersionRecord.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace platform {

struct BaseRunState {
  std::string programFolder;                     // tests: the program's folder in place of the real one
  std::optional<std::string> runtimeFolder;      // tests: the runtime folder in place of the real one
  std::vector<int> lockFds;                      // the locks this process holds, open until released
  std::vector<files::CallFault> callFaults;      // tests: system calls that fail
  std::vector<files::Call> loggedCalls;          // the faultable calls made since the faults were set
  std::vector<std::string> syncedFolders;        // the folders synced since then
  shell::Launcher launcher;                      // tests: what starts a program in place of the system
  QString settingsFolder;                        // tests: the settings' folder in place of the user's
  const VersionRecord* versionRecord = nullptr;  // tests: the record in place of the built-in one
};
BaseRunState& baseRunState();

// Back to program start: the real program and settings folders, the real system calls and
// launcher, no lock held, no release observer and the built-in version record.
void resetBaseForTests();

}  // namespace platform
