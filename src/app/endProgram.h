#pragma once
// The one way the program ends.
#include <functional>

namespace app {
// Set when the main window closes while the browser window is visible; the browser's unload then ends the program.
inline bool endWhenBrowserCloses = false;
}  // namespace app

// Empties the clipboard if it still holds a field Keyloft copied, runs the steps given to
// atProgramEnd, then ends the process at once: no unload handler or timer tick runs after it.
void endProgram();

// A last step of the real end (not of a test's terminator), such as wiping secrets held in
// memory; run in the order given.
void atProgramEnd(std::function<void()> step);

// Tests replace the termination with their own action (for example recording that it happened).
void setProgramTerminatorForTests(std::function<void()> terminator);
