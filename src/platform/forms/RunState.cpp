#include "RunState.h"

#include "Clipboard.h"
#include "Forms.h"
#include "MessageBox.h"

namespace platform {

void resetFormsForTests() {
  forms::resetForTests();
  msgbox::setMessageBoxHookForTests({});
  clipboard::clear();
}

}  // namespace platform
