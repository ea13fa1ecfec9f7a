#include "denyCoreDumps.h"

#include <sys/prctl.h>
#include <sys/resource.h>

bool denyCoreDumps() {
  // Hard limit too: nothing later in the process can raise it again.
  const rlimit none{0, 0};
  const bool noCoreFile = ::setrlimit(RLIMIT_CORE, &none) == 0;
  const bool undumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
  return noCoreFile && undumpable;
}
