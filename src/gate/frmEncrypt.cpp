#include "frmEncrypt.h"

#include "frmChangePassword.h"

#include "platform/base/Secret.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/WindowNames.h"
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

const QString kReadableWhenRemoved = QStringLiteral(
    "Without encryption the master password and every entry will be readable by anyone who has the file.");

// The master password stays readable in every plain copy made before the encryption: offer a new one.
void offerANewMasterPassword() {
  const QString text = QStringLiteral(
      "Your master password is still readable in every earlier, unencrypted copy of data.enc (backups, synced "
      "folders).  Choose a new one now?");
  if (mb::msgBox(text, mb::vbYesNo | mb::vbQuestion, QStringLiteral("Master Password Still Readable"),
                 platform::forms::instance(platform::windows::kForm1)) == mb::vbYes)
    platform::forms::show<frmChangePassword>();
}

}  // namespace

frmEncrypt::frmEncrypt() : PasswordDialog(name(), {QStringLiteral("Master password:")}) {}

void frmEncrypt::Form_Load() {
  encrypting_ = !modGlobals::vaultSealed();
  setCaption(encrypting_ ? QStringLiteral("Encrypt Vault") : QStringLiteral("Remove Encryption"));
  const QString action = encrypting_ ? QStringLiteral("Encrypt") : QStringLiteral("Remove");
  cmdAction->setText(action);
  cmdAction->setAccessibleName(action);
  if (encrypting_)
    lblStrength = addStrengthLine(boxes[0]);
  else
    addNote(kReadableWhenRemoved, 480);
  PasswordDialog::Form_Load();
}

void frmEncrypt::act() {
  if (platform::viewOf(boxes[0]->text()) != modGlobals::masterPassword.view()) {
    tellWrongPassword(boxes[0]);
    return;
  }
  if (encrypting_ &&
      tell(kConfirm, mb::vbOKCancel | mb::vbExclamation, QStringLiteral("Confirm Encryption")) != mb::vbOK)
    return;
  const modGlobals::Done done = whileBusy(
      [this] { return encrypting_ ? modGlobals::encryptVault() : modGlobals::removeEncryption(); });
  // A failed save keeps the dialog, and the status bar says why.
  if (!done) return;
  const bool encrypted = encrypting_;
  platform::forms::unload(name());
  if (encrypted) offerANewMasterPassword();
}
