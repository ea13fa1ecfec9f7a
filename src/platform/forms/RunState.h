#pragma once
// The widget layer's run-wide state, in one place with one reset: each file of the layer keeps its
// part here instead of a variable of its own.
#include "platform/base/Secret.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

class QMessageBox;

namespace platform {

class Form;

namespace clipboard {

// What setText last put on the clipboard: its text, in a buffer that is wiped when forgotten or
// replaced; none once forgotten (an empty text of ours is still something to compare with).
struct Ours {
  std::optional<SecretText> text;
  std::function<void()> onForgotten;
};

// A countdown that tests run by hand: its length, and how much of it has passed.
struct HandClock {
  bool on = false;
  std::chrono::milliseconds interval{0};  // zero: no countdown runs
  std::chrono::milliseconds passed{0};
};

}  // namespace clipboard

struct FormsRunState {
  QHash<QString, QPointer<Form>> instances;         // the loaded windows, by name
  std::function<int(QMessageBox&)> messageBoxHook;  // tests: answers the boxes in place of the user
  clipboard::Ours copied;                           // what Keyloft last put on the clipboard
  clipboard::HandClock handClock;
  // The clipboard's countdown: made at the first one, it goes with the application.
  QPointer<QTimer> clipboardTimer;
};
FormsRunState& formsRunState();

// Back to program start: no window loaded (their handlers do not run), message boxes shown again,
// no copied field left counting down and the clipboard's countdown on the real clock.
void resetFormsForTests();

}  // namespace platform
