#pragma once
// The widget layer's run-wide state in one reset, for tests.

namespace platform {

// Back to program start: no window loaded (their handlers do not run), message boxes shown again
// and no copied field left counting down.
void resetFormsForTests();

}  // namespace platform
