#pragma once
// Puts the program together: every window registered with the forms runtime, the vault's
// hand-overs pointed at the windows, and the skin's way back to the splash window.

namespace ProgramWiring {

// Called once at start, before the splash window is loaded (tests call it per test).
void wireProgram();

// Locks after lockAfterMinutes without input and when the desktop locks or sleeps (called once at
// start, after the application exists; tests start the triggers with a clock and buses of their own).
void startLockTriggers();

// The name the desktop knows the program by: its desktop entry and icon theme name, "keyloft".
inline constexpr const char* kDesktopName = "keyloft";
// Gives every window the program's icon and ties the windows to the desktop entry, so task bars
// and window switchers show Keyloft's icon (called once at start, after the application exists).
void setDesktopIdentity();

}  // namespace ProgramWiring
