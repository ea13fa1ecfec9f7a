#pragma once
// The whole program in a test: wired as main() wires it, over a temporary program folder and
// settings folder, with message boxes answered by the test and program end recorded.
#include "app/endProgram.h"
#include "app/modLivery.h"
#include "gate/frmPass.h"
#include "list/Form1.h"
#include "list/modGlobals.h"
#include "main/frmSplash.h"
#include "main/ProgramWiring.h"
#include "platform/base/Files.h"
#include "platform/base/Settings.h"
#include "platform/forms/ListView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/StatusBar.h"
#include "skin/modSkin.h"
#include "support/KdfCostsForTests.h"
#include "support/RunState.h"
#include "support/ShownBox.h"
#include "support/TempFolder.h"
#include "support/VaultImage.h"
#include "support/WaitFor.h"
#include "vault/modGlobals.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace program_test {

namespace forms = platform::forms;
namespace mb = platform::msgbox;

using testing_support::ShownBox;
using testing_support::vaultImage;

using testing_support::pump;
using testing_support::waitFor;

// The next control that Tab moves to.
inline QWidget* nextTabStop(QWidget* from) {
  QWidget* next = from->nextInFocusChain();
  while (next != from && !(next->focusPolicy() & Qt::TabFocus && next->isVisibleTo(next->window())))
    next = next->nextInFocusChain();
  return next;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QStandardPaths::setTestModeEnabled(true);
    testing_support::resetRunState();
    platform::files::setProgramFolderForTests(folder.path());
    platform::settings::setSettingsFolderForTests(QString::fromStdString(folder.file("settings")));
    setProgramTerminatorForTests([this] { ++programEnds; });
    mb::setMessageBoxHookForTests([this](QMessageBox& box) { return answerBox(box); });
    ProgramWiring::wireProgram();
  }

  void TearDown() override { testing_support::resetRunState(); }

  // As if the program had ended and been started again over the same folder.
  void restart() {
    forms::resetForTests();
    modSkin::resetForTests();
    ProgramWiring::wireProgram();
    modGlobals::resetVaultForTests();
    app::resetForTests();
    setProgramTerminatorForTests([this] { ++programEnds; });
  }

  void writeVault(std::string_view bytes) const { testing_support::writeBytes(vaultFile(), bytes); }
  std::string vaultFile() const { return folder.file("data.enc"); }
  std::string vaultOnDisk() const { return testing_support::readBytes(vaultFile()); }

  // Program start: the splash is created and shown; its load runs first.
  frmSplash* startSplash() { return forms::show<frmSplash>(); }

  // Runs the splash's ticks directly up to and including the hand-off.
  frmSplash* startToGate() {
    frmSplash* splash = startSplash();
    while (splash->intTemp < 150) splash->Timer2_Timer();
    return splash;
  }

  frmPass* gate() const { return forms::instance<frmPass>(); }
  Form1* mainWindow() const { return forms::instance<Form1>(); }
  QString status() const { return mainWindow()->StatusBar1->panelText(1); }

  // Types into the gate's fields and clicks Ok.
  void enter(const QString& password, const QString& confirmation = {}) {
    gate()->txtPass->setText(password);
    gate()->txtPass2->setText(confirmation);
    gate()->cmdOK->click();
  }

  int answerBox(QMessageBox& box) {
    const frmPass* dialog = gate();
    ShownBox shown = testing_support::shownBox(box);
    // Whether the password dialog was top-most while the box was up.
    shown.ownerOnTop = dialog && dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    boxes.push_back(shown);
    if (!answers.empty()) {
      int answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return box.standardButtons().testFlag(QMessageBox::Retry) ? mb::vbRetry : mb::vbOK;
  }

  testing_support::TempFolder folder;
  std::vector<ShownBox> boxes;
  std::deque<int> answers;  // given to the boxes in turn; then Retry or Ok
  int programEnds = 0;
};

}  // namespace program_test
