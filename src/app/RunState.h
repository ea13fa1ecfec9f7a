#pragma once
// The app layer's run-wide state in one place, with one reset for tests. The design's named values
// (the product identity in modLivery.h, endWhenBrowserCloses) stay where the design puts them.
#include <functional>
#include <vector>

namespace app {

struct AppRunState {
  std::function<void()> terminator;              // tests: the end in place of the real one
  std::vector<std::function<void()>> lastSteps;  // the real end's last steps: the program's wiring, kept
};
AppRunState& appRunState();

// Back to program start: no product identity loaded (so no skin), the program ends for real, and
// closing the browser window does not end it.
void resetForTests();

}  // namespace app
