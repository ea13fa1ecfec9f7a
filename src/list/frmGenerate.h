#pragma once
// The password generator the entry editor opens: the length and the kinds of characters, a new
// password at every change, zxcvbn's estimate of it, and Use, which puts it into the editor's
// password box (saved only by the editor's Save). The choices are kept in the settings.
#include "platform/base/Secret.h"
#include "platform/forms/Forms.h"
#include "platform/forms/WindowNames.h"
#include "vault/PasswordGenerator.h"

#include <QList>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class SkinLabel;

class frmGenerate final : public platform::Form {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(frmGenerate)

 public:
  frmGenerate();
  static QString name() { return platform::windows::kFrmGenerate; }

  QSpinBox* txtLength = nullptr;
  // Upper case, lower case, digits, symbols, avoid look-alikes.
  QList<QCheckBox*> chkKind;
  QLineEdit* txtPassword = nullptr;  // read-only
  SkinLabel* lblStrength = nullptr;
  QPushButton* cmdNew = nullptr;
  QPushButton* cmdUse = nullptr;
  QPushButton* cmdCancel = nullptr;

  void Form_Load() override;
  void cmdNew_Click();
  void cmdUse_Click();
  void cmdCancel_Click();

 private:
  vault::PasswordRecipe recipe() const;
  // The boxes changed: remember them, and draw a new password.
  void choicesChanged();

  platform::SecretText password_;
};

// The generator's choices in Keyloft.ini, section [Generator]; a missing or unreadable value is
// the default, a length out of bounds is brought within them.
vault::PasswordRecipe loadGeneratorRecipe();
void saveGeneratorRecipe(const vault::PasswordRecipe& recipe);
