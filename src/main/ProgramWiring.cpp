#include "ProgramWiring.h"

#include "app/endProgram.h"
#include "app/Resources.h"
#include "browser/frmWebsite.h"
#include "frmSplash.h"
#include "gate/frmChangePassword.h"
#include "gate/frmEncrypt.h"
#include "gate/frmPass.h"
#include "help/Form8.h"
#include "help/frmAbout.h"
#include "list/Form1.h"
#include "list/frmAdd.h"
#include "list/frmFind.h"
#include "list/modGlobals.h"
#include "Locking.h"
#include "platform/forms/ListView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/Timer.h"
#include "skin/modSkin.h"
#include "vault/modGlobals.h"

#include <QApplication>
#include <QIcon>

namespace forms = platform::forms;
namespace mb = platform::msgbox;

namespace ProgramWiring {
namespace {

template <class F>
void registerWindow() {
  forms::registerForm(F::name(), [] { return new F; });
}

// The vault's steps into the windows, as the program has them.
class WindowsHost final : public modGlobals::VaultHost {
 public:
  platform::ListItems* list() override {
    Form1* main = forms::instance<Form1>();
    return main && main->lstPass ? &main->lstPass->items() : nullptr;
  }
  void showStatusMessage(const std::u16string& text) override {
    modGlobals::showStatusMessage(QString::fromStdU16String(text));
  }
  void showPasswordDialog() override { forms::show<frmPass>(); }
  void afterFormLoad() override {
    if (Form1* main = forms::instance<Form1>()) main->afterFormLoad();
  }
  void afterUnlock() override { Locking::afterUnlock(); }
  void fatalError(const std::u16string& text) override {
    mb::msgBox(QString::fromStdU16String(text), mb::vbOKOnly | mb::vbCritical);
    ::endProgram();
  }
  // No is the answer that writes nothing, so it is the one Enter gives.
  bool askYesNo(const std::u16string& title, const std::u16string& text) override {
    return mb::msgBox(QString::fromStdU16String(text), mb::vbYesNo | mb::vbExclamation | mb::vbDefaultButton2,
                      QString::fromStdU16String(title)) == mb::vbYes;
  }
  void endProgram() override { ::endProgram(); }
  void tell(const std::u16string& title, const std::u16string& text) override {
    mb::msgBox(QString::fromStdU16String(text), mb::vbOKOnly | mb::vbExclamation, QString::fromStdU16String(title));
  }
};

void fillVaultHost() {
  static WindowsHost host;
  modGlobals::setVaultHost(&host);
}

void fillSplashAccess() {
  modSkin::SplashAccess access;
  access.isLoaded = [] { return forms::isLoaded(frmSplash::name()); };
  access.load = [] { forms::load<frmSplash>(); };
  access.timerEnabled = [] {
    const frmSplash* splash = forms::instance<frmSplash>();
    return splash && splash->Timer2->enabled();
  };
  access.disableTimer = [] {
    if (frmSplash* splash = forms::instance<frmSplash>()) splash->Timer2->setEnabled(false);
  };
  access.hide = [] { forms::hide<frmSplash>(); };
  modSkin::setSplashAccess(std::move(access));
}

}  // namespace

void setDesktopIdentity() {
  resources::initResources();
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/desktop/icons/%1/keyloft.png").arg(size), QSize(size, size));
  QApplication::setWindowIcon(icon);
  QGuiApplication::setDesktopFileName(QLatin1StringView(kDesktopName));
}

void startLockTriggers() { Locking::startTriggers(&std::chrono::steady_clock::now, {}); }

void wireProgram() {
  registerWindow<frmSplash>();
  registerWindow<frmPass>();
  registerWindow<frmEncrypt>();
  registerWindow<frmChangePassword>();
  forms::registerForm(Form1::name(), [] {
    auto* main = new Form1;
    QObject::connect(main, &Form1::lockRequested, main, [] { Locking::requestLock(); });
    return main;
  });
  registerWindow<Form8>();
  registerWindow<frmAbout>();
  registerWindow<frmWebsite>();
  registerEntryEditor();
  registerFindWindow();
  fillVaultHost();
  fillSplashAccess();
  Locking::reset();
  // The master password and the vault's key do not outlive the program in its memory.
  static const bool wiped = (atProgramEnd(modGlobals::wipeSecrets), true);
  (void)wiped;
}

}  // namespace ProgramWiring
