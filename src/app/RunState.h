#pragma once
// The app layer's run-wide state in one reset, for tests.

namespace app {

// Back to program start: no product identity loaded (so no skin), the program ends for real, and
// closing the browser window does not end it.
void resetForTests();

}  // namespace app
