#pragma once
// A vault in a temporary program folder, with the windows it hands over to recorded.
#include "platform/base/Files.h"
#include "platform/base/ListItems.h"
#include "platform/base/Settings.h"
#include "support/KdfCostsForTests.h"
#include "support/TempFolder.h"
#include "support/VaultImage.h"
#include "vault/modGlobals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class VaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::files::setProgramFolderForTests(dir.path());
    platform::settings::setSettingsFolderForTests(QString::fromStdString(dir.file("settings")));
    modGlobals::resetVaultForTests();
    vault::sealed::resetKdfCostsForTests();
    modGlobals::VaultHost host;
    host.list = [this] { return &list; };
    host.showStatusMessage = [this](const std::u16string& s) { statuses.push_back(s); };
    host.afterFormLoad = [this] { events.push_back("afterFormLoad"); };
    host.showPasswordDialog = [this] { events.push_back(modGlobals::creatingMasterPassword ? "ask new" : "ask"); };
    host.unloadPasswordDialog = [this] { events.push_back("unload dialog"); };
    host.doEvents = [this] { events.push_back("doEvents"); };
    host.fatalError = [this](const std::u16string& s) { fatals.push_back(s); };
    host.askYesNo = [](const std::u16string&, const std::u16string&) { return true; };
    modGlobals::setVaultHost(host);
  }
  void TearDown() override {
    platform::files::clearCallFaultsForTests();
    platform::files::setProgramFolderForTests({});
    platform::settings::setSettingsFolderForTests({});
    modGlobals::setVaultHost({});
    modGlobals::resetVaultForTests();  // lets go of the vault's lock
    vault::sealed::resetKdfCostsForTests();
  }

  std::string vaultFile() const { return dir.file("data.enc"); }
  std::string bytes() const { return testing_support::readBytes(vaultFile()); }
  void write(std::string_view b) const { testing_support::writeBytes(vaultFile(), b); }
  std::u16string lastStatus() const { return statuses.empty() ? u"" : statuses.back(); }
  std::string row(std::int64_t r) const {
    const auto& x = list.row(r);
    return std::string(x.text()) + "/" + std::string(x.subItem(1)) + "/" + std::string(x.subItem(2));
  }

  testing_support::TempFolder dir;
  platform::ListItems list;
  std::vector<std::u16string> statuses;
  std::vector<std::string> events;
  std::vector<std::u16string> fatals;
};

using testing_support::flip;
