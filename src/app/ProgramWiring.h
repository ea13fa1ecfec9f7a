#pragma once
// Puts the program together: every window registered with the forms runtime, the vault's
// hand-overs pointed at the windows, and the skin's way back to the splash window.

namespace ProgramWiring {

// Called once at start, before the splash window is loaded (tests call it per test).
void wireProgram();

}  // namespace ProgramWiring
