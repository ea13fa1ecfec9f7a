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
}

void frmChangePassword::act() {
  if (platform::viewOf(boxes[0]->text()) != modGlobals::masterPassword.view()) {
    tellWrongPassword(boxes[0]);
    return;
  }
  const QString typed = boxes[1]->text();
  // The texts and rules of the password's creation.
  QString problem;
  if (typed.size() < 4)
    problem = QStringLiteral("You must enter a password that is at least 4 characters long");
  else if (boxes[2]->text() != typed)
    problem = QStringLiteral("Your passwords did not match.  Please try again.");
  else
    problem = masterPasswordCheck::storageProblem(typed);
  if (!problem.isEmpty()) {
    tell(problem);
    boxes[2]->clear();
    boxes[1]->clear();
    boxes[1]->setFocus();
    return;
  }
  const platform::SecretText newPassword = platform::secretOf(typed);
  if (whileBusy([&] { return modGlobals::changeMasterPassword(newPassword); }))
    platform::forms::unload(name());
}
