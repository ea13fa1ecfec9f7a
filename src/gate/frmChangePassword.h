#pragma once
// Changes the master password: the current one, then the new one twice, under the rules of its
// creation. The vault is rewritten with it, encrypted or not as it is.
#include "PasswordDialog.h"

class frmChangePassword final : public PasswordDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(frmChangePassword)

 public:
  frmChangePassword();
  static QString name() { return QStringLiteral("frmChangePassword"); }

 protected:
  void act() override;
};
