#include "frmPass.h"

#include "app/endProgram.h"
#include "app/modLivery.h"
#include "app/modOnTop.h"
#include "masterPasswordCheck.h"
#include "PasswordDialog.h"
#include "platform/base/Secret.h"
#include "platform/forms/Controls.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/Timer.h"
#include "platform/forms/Twips.h"
#include "platform/forms/WindowNames.h"
#include "skin/modSkin.h"
#include "skin/SkinLabel.h"
#include "vault/modGlobals.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace tw = platform::twips;
namespace mb = platform::msgbox;

namespace {

constexpr int kEnter = 13;

QPushButton* button(const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setAccessibleName(caption);
  // Not the window's default button; Enter presses it only while it has the focus.
  b->setAutoDefault(true);
  return b;
}

// Enter as a typed character (13), whichever of the two Enter keys it came from.
int keyAsciiOf(const QKeyEvent& key) {
  if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) return kEnter;
  const QString text = key.text();
  return text.isEmpty() ? 0 : text.at(0).unicode();
}

// The dialog goes and pending window events run before the file is written; the main window then
// opens, even when the file could not be written (the status bar says why).
void createVaultAndOpen() {
  platform::forms::unload(frmPass::name());
  platform::doEvents();
  // A failure has ended the program with its sentence.
  if (modGlobals::createVault()) modGlobals::vaultHost().afterFormLoad();
}

// A weak encrypted vault is strengthened once its list shows.
void loadVaultAndOpen() {
  if (!modGlobals::loadVault()) return;
  modGlobals::vaultHost().afterFormLoad();
  modGlobals::strengthenWeakEncryption();
}

}  // namespace

frmPass::frmPass() : Form(name()) {
  setCaption(QStringLiteral("Password Required"));
  setFont(platform::verdana());
  setClientSizeTwips(6825, 1800);
  setFixedBorder();

  QWidget* area = client();
  SkinLabel1 = new SkinLabel(QStringLiteral("Please enter your password"), area);
  SkinLabel1->setWordWrap(true);
  SkinLabel1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  SkinLabel2 = new SkinLabel(QStringLiteral("Password:"), area);
  txtPass = passwordField(area, QStringLiteral("Password:"));
  SkinLabel3 = new SkinLabel(QStringLiteral("Retype Password:"), area);
  txtPass2 = passwordField(area, QStringLiteral("Retype Password:"));
  cmdOK = button(QStringLiteral("Ok"), area);
  cmdCancel = button(QStringLiteral("Cancel"), area);
  SkinLabel2->setBuddy(txtPass);
  SkinLabel3->setBuddy(txtPass2);

  tw::setGeometry(SkinLabel1, 120, 60, 6615, 315);
  tw::setGeometry(SkinLabel2, 120, 540, 915, 255);
  tw::setGeometry(txtPass, 1740, 480, 4995, 315);
  tw::setGeometry(SkinLabel3, 120, 2460, 1935, 255);
  tw::setGeometry(txtPass2, 1740, 2400, 4995, 315);
  tw::setGeometry(cmdOK, 4500, 1260, 1095, 495);
  tw::setGeometry(cmdCancel, 5700, 1260, 1035, 495);

  // The labels hold no focus; the focusable controls follow in their designed tab order.
  setTabOrder(cmdOK, cmdCancel);
  setTabOrder(cmdCancel, txtPass);
  setTabOrder(txtPass, txtPass2);

  Timer1 = new platform::Timer(this);
  Timer1->setInterval(100);
  connect(Timer1, &platform::Timer::ticked, this, &frmPass::Timer1_Timer);
  Timer1->setEnabled(true);

  connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  txtPass->installEventFilter(this);
  txtPass2->installEventFilter(this);
}

void frmPass::Form_Load() {
  if (QWidget* main = platform::forms::instance(platform::windows::kForm1)) main->setVisible(false);
  wrongTries_ = 0;

  if (modGlobals::creatingMasterPassword) {
    SkinLabel1->setText(QStringLiteral("Because this is the first time you have used ") % modLivery::productName %
                        QStringLiteral(", you will need to create a master password.  This password will be required "
                                       "to open the program from now on, and can not be reset.") %
                        QStringLiteral("\r\n\r\n") %
                        QStringLiteral("Please enter a password that you will not forget."));
    tw::setHeight(SkinLabel1, 1500);
    tw::setTop(txtPass, 1700);
    tw::setTop(txtPass2, tw::height(txtPass) + 1700 + 60);
    tw::setTop(cmdOK, tw::height(txtPass2) + tw::top(txtPass2) + 60);
    tw::setTop(cmdCancel, tw::top(cmdOK));
    tw::setTop(SkinLabel3, tw::top(txtPass2));
    SkinLabel3->setVisible(true);
    tw::setTop(SkinLabel2, tw::top(txtPass));
    txtPass2->setVisible(true);
    setOuterHeightTwips(tw::height(cmdOK) + tw::top(cmdOK) + 60 + 500);
  } else {
    setOuterHeightTwips(1845);
    SkinLabel1->setText(QStringLiteral("Please enter your password"));
    tw::setTop(txtPass, 360);
    tw::setTop(cmdOK, 780);
    tw::setTop(cmdCancel, 780);
    SkinLabel3->setVisible(false);
    tw::setTop(SkinLabel2, tw::top(txtPass));
    txtPass2->setVisible(false);
  }
  centreOnScreen();

  raise();
  modOnTop::setOnTop(this, -1);
  platform::doEvents();
  txtPass->clear();
  if (modLivery::useSkin) modSkin::applySkinOrLeaveUndressed(this);
}

void frmPass::Form_Unload() {
  // Closed before a password was accepted: the list must not open.
  if (modGlobals::masterPassword.empty()) endProgram();
}

void frmPass::Form_QueryUnload(bool& cancel) {
  // Closing while a key is derived would pull the dialog away under the check that runs it.
  if (checking_) cancel = true;
}

void frmPass::cmdOK_Click() {
  // A second Enter or click (key repeat, a double click) may arrive while the accepted password
  // is being processed, and the vault steps pump events: it must not create or load twice.
  if (accepted_ || checking_) return;
  if (modGlobals::creatingMasterPassword)
    createPassword();
  else
    verifyPassword();
}

void frmPass::createPassword() {
  const QString typed = txtPass->text();
  // A password the vault would give back changed could never be typed again: refused before
  // anything is written.
  if (auto refusal = masterPasswordCheck::newPasswordProblem(typed, txtPass2->text())) {
    tellWithoutTopMost(refusal->message, !refusal->tooShort);
    return;
  }
  accepted_ = true;
  modGlobals::masterPassword = platform::secretOf(typed);
  Timer1->setEnabled(false);
  // Unloads this dialog: nothing of it may be touched afterwards.
  createVaultAndOpen();
}

void frmPass::verifyPassword() {
  // An encrypted vault derives its key from the typed password: a moment, with a busy cursor.
  const platform::Result<modGlobals::PasswordCheck> check = [&] {
    BusyGuard busy(checking_);
    return modGlobals::checkMasterPassword(platform::secretOf(txtPass->text()));
  }();
  if (!check) {
    // Nothing was learnt about the password: not a wrong try, and it may be tried again.
    mb::msgBox(QString::fromStdString(check.why()), mb::vbOKOnly | mb::vbExclamation, {}, this);
    return;
  }
  if (*check == modGlobals::PasswordCheck::Ended) return;
  if (*check == modGlobals::PasswordCheck::Right) {
    accepted_ = true;
    modGlobals::masterPassword = modGlobals::storedMasterPassword;
    Timer1->setEnabled(false);
    // Ends in afterFormLoad or afterUnlock, which unload this dialog: nothing of it may be touched
    // afterwards.
    if (modGlobals::closedForLock())
      modGlobals::vaultHost().afterUnlock();
    else
      loadVaultAndOpen();
    return;
  }
  const int answer = mb::msgBox(QStringLiteral("Sorry, the password you entered was not correct."), mb::vbRetryCancel,
                                QStringLiteral("Incorrect Password"), this);
  if (answer != mb::vbRetry) {
    Timer1->setEnabled(false);
    endProgram();
    return;
  }
  if (++wrongTries_ == 3) {
    mb::msgBox(QStringLiteral("Only 3 tries allowed.  Click Ok to close."), mb::vbOKOnly, {}, this);
    Timer1->setEnabled(false);
    endProgram();
    return;
  }
  txtPass->clear();
}

void frmPass::tellWithoutTopMost(const QString& text, bool emptyFields) {
  modOnTop::setOnTop(this, 0);
  mb::msgBox(text, mb::vbOKOnly, {}, this);
  if (emptyFields) {
    txtPass2->clear();
    txtPass->clear();
  }
  modOnTop::setOnTop(this, -1);
}

void frmPass::cmdCancel_Click() {
  if (checking_) return;
  Timer1->setEnabled(false);
  endProgram();
}

void frmPass::Timer1_Timer() {
  if (QWidget* main = platform::forms::instance(platform::windows::kForm1)) main->setVisible(false);
}

void frmPass::txtPass_KeyPress(int keyAscii) {
  if (keyAscii == kEnter) cmdOK_Click();
}

void frmPass::txtPass2_KeyPress(int keyAscii) {
  if (keyAscii == kEnter) cmdOK_Click();
}

bool frmPass::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && (watched == txtPass || watched == txtPass2)) {
    const int keyAscii = keyAsciiOf(*static_cast<QKeyEvent*>(event));
    if (keyAscii != kEnter) return Form::eventFilter(watched, event);
    // The Ok action may unload this dialog; the key is used up either way.
    if (watched == txtPass)
      txtPass_KeyPress(keyAscii);
    else
      txtPass2_KeyPress(keyAscii);
    return true;
  }
  return Form::eventFilter(watched, event);
}
