#pragma once
// The master password dialog: creates the master password at first use, verifies it later.
#include "platform/forms/Forms.h"
#include "platform/forms/WindowNames.h"

class QLineEdit;
class QPushButton;
class SkinLabel;

namespace platform {
class Timer;
}

class frmPass final : public platform::Form {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(frmPass)

 public:
  frmPass();
  static QString name() { return platform::windows::kFrmPass; }

  SkinLabel* SkinLabel1 = nullptr;
  SkinLabel* SkinLabel2 = nullptr;
  QLineEdit* txtPass = nullptr;
  SkinLabel* SkinLabel3 = nullptr;
  QLineEdit* txtPass2 = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;
  platform::Timer* Timer1 = nullptr;

  void Form_Load() override;
  void Form_QueryUnload(bool& cancel) override;
  void Form_Unload() override;
  void cmdOK_Click();
  void cmdCancel_Click();
  void Timer1_Timer();
  // A key typed in a password field; 13 (Enter) runs the Ok action.
  void txtPass_KeyPress(int keyAscii);
  void txtPass2_KeyPress(int keyAscii);

  // Wrong passwords typed since this loading.
  short wrongTries() const { return wrongTries_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createPassword();
  void verifyPassword();
  // A rejection in creation mode: the box must not sit under the top-most dialog.
  void tellWithoutTopMost(const QString& text, bool emptyFields);

  short wrongTries_ = 0;
  bool accepted_ = false;  // a password was accepted; no further Ok counts
  bool checking_ = false;  // a typed password is being checked; Ok, Cancel and closing wait
};
