#include "RunState.h"

#include "Clipboard.h"
#include "Forms.h"

namespace platform {

FormsRunState& formsRunState() {
  static FormsRunState state;
  return state;
}

void resetFormsForTests() {
  forms::resetForTests();
  clipboard::clear();
  FormsRunState& state = formsRunState();
  state.messageBoxHook = {};
  state.handClock = {};
}

}  // namespace platform
