#pragma once
// A vault in a temporary program folder, with the windows it hands over to recorded.
#include "platform/base/Files.h"
#include "platform/base/ListItems.h"
#include "platform/base/Settings.h"
#include "support/KdfCostsForTests.h"
#include "support/TempFolder.h"
#include "support/VaultImage.h"
#include "support/VaultRunState.h"
#include "vault/modGlobals.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

// A vault operation's outcome, nothing for a failure: compared in one line.
template <class T>
std::optional<T> outcomeOf(const platform::Result<T>& result) {
  return result ? std::optional<T>(*result) : std::nullopt;
}

class VaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::resetVaultRunState();
    platform::files::setProgramFolderForTests(dir.path());
    platform::settings::setSettingsFolderForTests(QString::fromStdString(dir.file("settings")));
    modGlobals::setVaultHost(&host);
  }
  // Lets go of the vault's lock; no failing derivation is left to a later suite.
  void TearDown() override { testing_support::resetVaultRunState(); }

  std::string vaultFile() const { return dir.file("data.enc"); }
  std::string bytes() const { return testing_support::readBytes(vaultFile()); }
  void write(std::string_view b) const { testing_support::writeBytes(vaultFile(), b); }
  std::u16string lastStatus() const { return statuses.empty() ? u"" : statuses.back(); }
  std::string row(std::int64_t r) const {
    const auto& x = list.row(r);
    return std::string(x.text()) + "/" + std::string(x.subItem(1)) + "/" + std::string(x.subItem(2));
  }

  // Records what the vault asks of the windows.
  struct RecordingHost final : modGlobals::VaultHost {
    explicit RecordingHost(VaultTest& t) : test(t) {}
    platform::ListItems* list() override { return test.listShown ? &test.list : nullptr; }
    void showStatusMessage(const std::u16string& s) override { test.statuses.push_back(s); }
    void showPasswordDialog() override {
      test.events.push_back(modGlobals::creatingMasterPassword ? "ask new" : "ask");
    }
    void fatalError(const std::u16string& s) override { test.fatals.push_back(s); }
    bool askYesNo(const std::u16string& title, const std::u16string& text) override {
      test.boxes.push_back(title + u": " + text);
      return test.answerYes;
    }
    void tell(const std::u16string& title, const std::u16string& text) override {
      test.boxes.push_back(title + u": " + text);
    }
    VaultTest& test;
  };

  testing_support::TempFolder dir;
  platform::ListItems list;
  bool listShown = true;  // false: as while the main window is not loaded
  RecordingHost host{*this};
  std::vector<std::u16string> statuses;
  std::vector<std::string> events;
  std::vector<std::u16string> fatals;
  std::vector<std::u16string> boxes;  // "title: text" of every question and box
  bool answerYes = true;
};

using testing_support::flip;
