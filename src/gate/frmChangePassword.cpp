#include "frmChangePassword.h"

#include "masterPasswordCheck.h"
#include "platform/base/Secret.h"
#include "vault/modGlobals.h"

#include <QLineEdit>
#include <QPushButton>

frmChangePassword::frmChangePassword()
    : PasswordDialog(name(), {QStringLiteral("Current password:"), QStringLiteral("New password:"),
                              QStringLiteral("Retype new password:")}) {
  setCaption(QStringLiteral("Change Master Password"));
  cmdAction->setText(QStringLiteral("Change"));
  cmdAction->setAccessibleName(QStringLiteral("Change"));
  lblStrength = addStrengthLine(boxes[1]);
}

void frmChangePassword::act() {
  if (platform::viewOf(boxes[0]->text()) != modGlobals::masterPassword.view()) {
    tellWrongPassword(boxes[0]);
    return;
  }
  const QString typed = boxes[1]->text();
  if (auto refusal = masterPasswordCheck::newPasswordProblem(typed, boxes[2]->text())) {
    tell(refusal->message);
    boxes[2]->clear();
    boxes[1]->clear();
    boxes[1]->setFocus();
    return;
  }
  const platform::SecretText newPassword = platform::secretOf(typed);
  if (whileBusy([&] { return modGlobals::changeMasterPassword(newPassword); })) platform::forms::unload(name());
}
