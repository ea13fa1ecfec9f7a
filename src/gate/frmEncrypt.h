#pragma once
// Turns the vault's encryption on ("Encrypt Vault") or off ("Remove Encryption"), whichever it is
// not, once the master password is typed. Encrypted, it offers a new master password: the old one
// stays readable in every plain copy; removing, it says what becomes readable.
#include "PasswordDialog.h"
#include "platform/forms/WindowNames.h"

class frmEncrypt final : public PasswordDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(frmEncrypt)

 public:
  frmEncrypt();
  static QString name() { return platform::windows::kFrmEncrypt; }

  void Form_Load() override;

  SkinLabel* lblStrength = nullptr;  // under the password that will encrypt the vault; none when removing

 protected:
  void act() override;

 private:
  bool encrypting_ = true;  // fixed at load: what the vault was then
};
