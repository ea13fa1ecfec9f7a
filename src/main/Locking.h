#pragma once
// Locking Keyloft while the user is away: every window hidden, the list emptied, the key and the
// master password's copies wiped, the clipboard emptied of what Keyloft put there, and the password
// dialog alone on screen. The right password lists data.enc again and shows the windows as they were.
#include "platform/desktop/DesktopLockSignals.h"
#include "platform/forms/IdleTimer.h"

#include <chrono>
#include <functional>

namespace Locking {

// Locks now, or as soon as the save or key derivation under way has ended. `done` runs once locked,
// or at once when there is nothing to lock (the gate not passed yet, or locked already).
void requestLock(std::function<void()> done = {});
bool locked();
// The step after the right password at the gate: the list filled again, the windows shown again.
void afterUnlock();

// [Settings] lockAfterMinutes: a whole number of minutes, 0 for never; anything else counts as 10.
std::chrono::minutes lockAfterMinutes();

// What locks besides the File menu: no input for lockAfterMinutes by `clock`, and the desktop's
// signals on `buses` (the program's real clock and buses; a test's own).
void startTriggers(platform::IdleTimer::Clock clock, const platform::desktop::Buses& buses);
platform::IdleTimer* idleTimer();
platform::desktop::DesktopLockSignals* desktopSignals();

// Back to program start: unlocked, no trigger (the composer calls it).
void reset();

}  // namespace Locking
