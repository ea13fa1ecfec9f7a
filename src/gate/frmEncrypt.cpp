#include "frmEncrypt.h"

#include "platform/base/Secret.h"
#include "platform/forms/MessageBox.h"
#include "vault/modGlobals.h"

#include <QLineEdit>
#include <QPushButton>

namespace mb = platform::msgbox;

namespace {

const QString kConfirm = QStringLiteral(
    "Encrypting rewrites data.enc so that nobody can open it without the master password.\r\n\r\n"
    "Only Keyloft can open an encrypted vault, and if the master password is forgotten, nothing can "
    "recover the entries.  Keep a backup of data.enc somewhere safe.\r\n\r\n"
    "Encrypt the vault now?");

}  // namespace

frmEncrypt::frmEncrypt() : PasswordDialog(name(), {QStringLiteral("Master password:")}) {}

void frmEncrypt::Form_Load() {
  encrypting_ = !modGlobals::vaultSealed();
  setCaption(encrypting_ ? QStringLiteral("Encrypt Vault") : QStringLiteral("Remove Encryption"));
  const QString action = encrypting_ ? QStringLiteral("Encrypt") : QStringLiteral("Remove");
  cmdAction->setText(action);
  cmdAction->setAccessibleName(action);
  PasswordDialog::Form_Load();
}

void frmEncrypt::act() {
  if (platform::viewOf(boxes[0]->text()) != modGlobals::masterPassword.view()) {
    tellWrongPassword(boxes[0]);
    return;
  }
  bool done = false;
  if (encrypting_) {
    if (tell(kConfirm, mb::vbOKCancel | mb::vbExclamation, QStringLiteral("Confirm Encryption")) != mb::vbOK) return;
    done = whileBusy([] { return modGlobals::encryptVault(); });
  } else {
    done = whileBusy([] { return modGlobals::removeEncryption(); });
  }
  // A failed save keeps the dialog, and the status bar says why.
  if (done) platform::forms::unload(name());
}
