#include "SystemCalls.h"

#include "Files.h"
#include "RunState.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace platform::files {
namespace {

int openFolderForSync(const char* path) { return ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC); }
int claimName(const char* path) { return ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600); }

constexpr SystemCalls kSystem = {
    [](char* name) { return ::mkostemp(name, O_CLOEXEC); },
    ::fchmod,
    ::write,
    ::fsync,
    ::close,
    ::rename,
    openFolderForSync,
    ::fsync,
    ::link,
    claimName,
};

// Logs the call; returns the errno it must fail with, or 0. A short write is reported in `shortWrite`.
int injected(Call call, std::size_t* shortWrite = nullptr) {
  baseRunState().loggedCalls.push_back(call);
  const int occurrence = static_cast<int>(
      std::count(baseRunState().loggedCalls.begin(), baseRunState().loggedCalls.end(), call));
  for (const CallFault& f : baseRunState().callFaults) {
    if (f.call != call || (f.occurrence != 0 && f.occurrence != occurrence)) continue;
    if (f.error == 0 && shortWrite) *shortWrite = f.shortWrite;
    return f.error;
  }
  return 0;
}

template <class Result, class Real>
Result failOr(Call call, Real real) {
  if (int e = injected(call)) {
    errno = e;
    return -1;
  }
  return real();
}

constexpr SystemCalls kFaulty = {
    [](char* name) { return failOr<int>(Call::CreateTemporary, [&] { return kSystem.createTemporary(name); }); },
    [](int fd, mode_t mode) { return failOr<int>(Call::SetMode, [&] { return kSystem.setMode(fd, mode); }); },
    [](int fd, const void* data, std::size_t size) -> ssize_t {
      std::size_t shortWrite = size;
      if (int e = injected(Call::Write, &shortWrite)) {
        errno = e;
        return -1;
      }
      return kSystem.write(fd, data, std::min(size, shortWrite));
    },
    [](int fd) { return failOr<int>(Call::SyncFile, [&] { return kSystem.syncFile(fd); }); },
    [](int fd) {
      // A failed close still frees the descriptor, as Linux does.
      if (int e = injected(Call::Close)) {
        kSystem.close(fd);
        errno = e;
        return -1;
      }
      return kSystem.close(fd);
    },
    [](const char* from, const char* to) {
      return failOr<int>(Call::Rename, [&] { return kSystem.rename(from, to); });
    },
    [](const char* path) {
      baseRunState().syncedFolders.emplace_back(path);
      return failOr<int>(Call::OpenFolder, [&] { return kSystem.openFolder(path); });
    },
    [](int fd) { return failOr<int>(Call::SyncFolder, [&] { return kSystem.syncFolder(fd); }); },
    [](const char* from, const char* to) { return failOr<int>(Call::Link, [&] { return kSystem.link(from, to); }); },
    [](const char* path) { return failOr<int>(Call::Claim, [&] { return kSystem.claim(path); }); },
};

const SystemCalls* g_sys = &kSystem;

}  // namespace

const SystemCalls& systemCalls() { return *g_sys; }

const char* callName(Call call) {
  switch (call) {
    case Call::CreateTemporary: return "create temporary";
    case Call::SetMode: return "set mode";
    case Call::Write: return "write";
    case Call::SyncFile: return "fsync file";
    case Call::Close: return "close";
    case Call::Rename: return "rename";
    case Call::OpenFolder: return "open folder";
    case Call::SyncFolder: return "fsync folder";
    case Call::Link: return "link";
    case Call::Claim: return "claim";
  }
  return "?";
}

void setCallFaultsForTests(std::vector<CallFault> faults) {
  baseRunState().callFaults = std::move(faults);
  baseRunState().loggedCalls.clear();
  baseRunState().syncedFolders.clear();
  g_sys = &kFaulty;
}

void clearCallFaultsForTests() {
  baseRunState().callFaults.clear();
  baseRunState().loggedCalls.clear();
  baseRunState().syncedFolders.clear();
  g_sys = &kSystem;
}

std::vector<Call> loggedCallsForTests() { return baseRunState().loggedCalls; }

std::vector<std::string> syncedFoldersForTests() { return baseRunState().syncedFolders; }

}  // namespace platform::files
