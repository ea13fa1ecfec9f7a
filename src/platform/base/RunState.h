#pragma once
// The base layer's run-wide state in one reset, for tests.

namespace platform {

// Back to program start: the real program and settings folders, the real system calls and
// launcher, no release observer and the built-in version record.
void resetBaseForTests();

}  // namespace platform
