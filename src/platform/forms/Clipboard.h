#pragma once
// The system clipboard: emptied, or given plain text that it may forget again after a while.
#include <QString>

#include <chrono>
#include <functional>

namespace platform::clipboard {

// Empties the clipboard and drops any countdown.
void clear();
// Puts the text on the clipboard as plain text; a secret is also marked for clipboard managers
// (x-kde-passwordManagerHint = "secret") so that history tools do not keep it.
// With a positive `forgetAfter` the clipboard is emptied that long after, but only if it still
// holds exactly this text, whoever offers it by then (a clipboard manager takes it over and offers
// it again); then `onForgotten` runs. Any earlier countdown ends here, and its text is wiped.
void setText(const QString& text, bool secret, std::chrono::seconds forgetAfter = {},
             std::function<void()> onForgotten = {});
QString text();

// Empties the clipboard now if it still holds exactly the text setText last put there, countdown
// or not; any other text or a picture put there since is left alone. True when it emptied it.
// Either way our copy of the text is wiped.
bool forgetOurs();
// How long the running countdown was set to; zero when none runs.
std::chrono::milliseconds forgetInterval();

// Tests count the countdown down by hand instead of waiting for the real timer: while on, no
// timer runs and a countdown ends only when advanceClockForTests has passed its whole length.
void setHandClockForTests(bool on);
void advanceClockForTests(std::chrono::milliseconds by);

}  // namespace platform::clipboard
