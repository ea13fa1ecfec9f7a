#pragma once
// A main window loaded through the forms runtime over a vault in a temporary program folder, with
// message boxes, the opener and program end taken over by the test.
#include "app/endProgram.h"
#include "list/Form1.h"
#include "list/frmAdd.h"
#include "list/frmFind.h"
#include "list/modGlobals.h"
#include "platform/base/Files.h"
#include "platform/base/QtCodePage.h"
#include "platform/base/Settings.h"
#include "platform/base/Shell.h"
#include "platform/forms/Clipboard.h"
#include "platform/forms/ListView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/StatusBar.h"
#include "support/RunState.h"
#include "support/ShownBox.h"
#include "support/TempFolder.h"
#include "support/VaultImage.h"
#include "vault/modGlobals.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace entries_test {

using testing_support::Entry;
using testing_support::ShownBox;
using testing_support::vaultImage;

class EntriesFixture : public ::testing::Test {
 protected:
  const std::string kMaster = "master";

  void SetUp() override {
    testing_support::resetRunState();
    platform::files::setProgramFolderForTests(folder_.path());
    platform::settings::setSettingsFolderForTests(QString::fromStdString(folder_.file("settings")));
    platform::settings::saveSetting(QStringLiteral("Keyloft"), QStringLiteral("Settings"), QStringLiteral("showHelp"),
                                    QStringLiteral("0"));
    setProgramTerminatorForTests([this] { ++programEnds; });
    platform::msgbox::setMessageBoxHookForTests([this](QMessageBox& box) {
      boxes.push_back(testing_support::shownBox(box));
      return answer;
    });
    platform::shell::setLauncherForTests([this](const QString& program, const QStringList& args, QString* error) {
      launches.push_back({program, args});
      if (!launchError.isEmpty() && error) *error = launchError;
      return launchError.isEmpty();
    });
    platform::forms::registerForm(Form1::name(), [] { return new Form1; });
    registerEntryEditor();
    registerFindWindow();
    modGlobals::setVaultHost(&host_);
  }

  // Also empties the clipboard: no countdown of this test's copy may tick in a later one.
  void TearDown() override { testing_support::resetRunState(); }

  // Writes the vault, loads the main window as the program does after a correct password.
  Form1* open(const std::vector<Entry>& entries) {
    testing_support::writeBytes(vaultFile(), vaultImage(kMaster, entries));
    return reopen();
  }
  // Loads the main window afresh over the file as it is.
  Form1* reopen() {
    platform::forms::resetForTests();
    form = platform::forms::load<Form1>();
    modGlobals::masterPassword = modGlobals::storedMasterPassword;
    EXPECT_TRUE(modGlobals::loadVault());
    return form;
  }

  std::string vaultFile() const { return folder_.file("data.enc"); }
  std::string fileBytes() const { return testing_support::readBytes(vaultFile()); }
  platform::ListItems& rows() { return form->lstPass->items(); }
  QString status() const { return form->StatusBar1->panelText(1); }
  void select(std::int64_t number) { form->lstPass->selectRow(number); }
  Entry entry(std::int64_t number) {
    const auto& r = rows().row(number);
    return {std::string(r.text()), std::string(r.subItem(1)), std::string(r.subItem(2))};
  }
  std::vector<Entry> allEntries() {
    std::vector<Entry> all;
    for (std::int64_t n = 1; n <= rows().count(); ++n) all.push_back(entry(n));
    return all;
  }
  frmAdd* editor() { return platform::forms::instance<frmAdd>(); }
  // Types into the open editor and presses Save.
  void typeAndSave(const QString& user, const QString& password, const QString& location) {
    editor()->txtUsername->setText(user);
    editor()->txtPassword->setText(password);
    editor()->txtWebsite->setText(location);
    editor()->cmdAdd_Click(0);
  }

  Form1* form = nullptr;
  std::vector<ShownBox> boxes;
  int answer = platform::msgbox::vbOK;
  struct Launch {
    QString program;
    QStringList arguments;
  };
  std::vector<Launch> launches;
  QString launchError;
  int programEnds = 0;

 private:
  // The main window's list and status bar; a fatal error fails the test.
  struct MainWindowHost final : modGlobals::VaultHost {
    platform::ListItems* list() override { return &platform::forms::instance<Form1>()->lstPass->items(); }
    void showStatusMessage(const std::u16string& t) override {
      modGlobals::showStatusMessage(QString::fromStdU16String(t));
    }
    void fatalError(const std::u16string& t) override { ADD_FAILURE() << QString::fromStdU16String(t).toStdString(); }
  };

  testing_support::TempFolder folder_;
  MainWindowHost host_;
};

}  // namespace entries_test
