#pragma once
// Changes the master password: the current one, then the new one twice, under the rules of its
// creation. The vault is rewritten with it, encrypted or not as it is.
#include "PasswordDialog.h"
#include "platform/forms/WindowNames.h"

class frmChangePassword final : public PasswordDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(frmChangePassword)

 public:
  frmChangePassword();
  static QString name() { return platform::windows::kFrmChangePassword; }

  SkinLabel* lblStrength = nullptr;  // under the new password

 protected:
  void act() override;
};
