#include "RunState.h"

#include "Secret.h"

namespace platform {

BaseRunState& baseRunState() {
  static BaseRunState state;
  return state;
}

void resetBaseForTests() {
  files::releaseLocksForTests();
  baseRunState() = {};
  // Atomic, for the worker threads that release secrets: not part of the state above.
  secret::setReleaseObserverForTests(nullptr);
}

}  // namespace platform
