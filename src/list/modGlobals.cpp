#include "list/modGlobals.h"

#include "Form1.h"
#include "platform/forms/StatusBar.h"
#include "TransferChoosers.h"

namespace modGlobals {

void showStatusMessage(const QString& text) {
  if (Form1* main = platform::forms::instance<Form1>()) main->StatusBar1->setPanelText(1, text);
}

void resetEditorStateForTests() {
  editorMode.clear();
  editorRow = 0;
  editorUsername.clear();
  editorPassword.clear();
  editorLocation.clear();
  transferChoosers::setAnswersForTests({});
}

}  // namespace modGlobals
