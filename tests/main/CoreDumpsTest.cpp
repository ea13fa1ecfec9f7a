// Protects the start's hardening: after denyCoreDumps the core file limit is zero, hard limit
// too, and the process is not dumpable. Checked in a child, which keeps the test program itself as
// it was.
#include "main/denyCoreDumps.h"

#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum ChildResult { kDenied = 0, kFailed = 1, kCoreFileAllowed = 2, kStillDumpable = 4, kNothingToDeny = 64 };

// In the forked child: only system calls, then _exit.
int denyInChild() {
  rlimit limit{};
  ::getrlimit(RLIMIT_CORE, &limit);
  limit.rlim_cur = limit.rlim_max;  // as high as this process may go, so that a zero means something
  if (limit.rlim_max == 0 || ::setrlimit(RLIMIT_CORE, &limit) != 0 || ::prctl(PR_GET_DUMPABLE) != 1)
    return kNothingToDeny;
  int result = denyCoreDumps() ? kDenied : kFailed;
  if (::getrlimit(RLIMIT_CORE, &limit) != 0 || limit.rlim_cur != 0 || limit.rlim_max != 0) result |= kCoreFileAllowed;
  if (::prctl(PR_GET_DUMPABLE) != 0) result |= kStillDumpable;
  return result;
}

TEST(DenyCoreDumps, noCoreFileAndNotDumpable) {
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) ::_exit(denyInChild());
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kNothingToDeny) GTEST_SKIP() << "core files are already off for this process";
  EXPECT_EQ(WEXITSTATUS(status), kDenied) << "1: a call failed, 2: core files still possible, 4: still dumpable";
}

}  // namespace
