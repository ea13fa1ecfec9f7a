// Protects the vault from loss: failed writes keep the old bytes and are never reported as saved,
// files are owner-only, and a file that can't be read is never replaced.
#include "VaultFixture.h"

#include "platform/base/CodePage.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace modGlobals;

namespace {

bool startsWith(const std::u16string& s, std::u16string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

}  // namespace

TEST_F(VaultTest, newVaultIsOwnerOnlyAndARewriteKeepsPermissions) {
  openVault();
  EXPECT_EQ(testing_support::fileMode(vaultFile()), 0600);
  ::chmod(vaultFile().c_str(), 0640);
  masterPassword = u"abcd";
  list.add("u", "p", "l");
  EXPECT_TRUE(saveVault());
  EXPECT_EQ(testing_support::fileMode(vaultFile()), 0640);
}

TEST_F(VaultTest, saveFailingPartwayKeepsTheOldBytesAndSaysWhy) {
  const std::string old = flip("pw") + "\r\n" + flip("a|||b|||c") + "\r\n\r\n";
  write(old);
  masterPassword = u"pw";
  list.add("new", "entry", "here");
  platform::files::setCallFaultsForTests(
      {{platform::files::Call::Write, 1, 0, 5}, {platform::files::Call::Write, 2, ENOSPC}});
  EXPECT_FALSE(saveVault());
  EXPECT_EQ(bytes(), old);
  EXPECT_EQ(lastStatus(), u"Could not save data.enc: No space left on device");
  EXPECT_EQ(testing_support::entryCount(dir.path()), 1u);
  for (const auto& s : statuses) EXPECT_FALSE(startsWith(s, u"Saved "));
}

TEST_F(VaultTest, saveWithoutTheListRefusesAndKeepsTheEntries) {
  const std::string old = flip("pw") + "\r\n" + flip("a|||b|||c") + "\r\n\r\n";
  write(old);
  masterPassword = u"pw";
  listShown = false;  // no main window loaded
  EXPECT_FALSE(saveVault());
  EXPECT_EQ(bytes(), old);
  EXPECT_EQ(lastStatus(), u"Could not save data.enc: The list of entries is not open");
}

TEST_F(VaultTest, saveIntoAReadOnlyFolderKeepsTheOldBytes) {
  const std::string old = flip("pw") + "\r\n\r\n";
  write(old);
  ::chmod(dir.path().c_str(), 0555);
  int code = testing_support::runUnprivileged([&] {
    masterPassword = u"pw";
    list.add("u", "p", "l");
    if (saveVault()) return 1;
    if (lastStatus() != u"Could not save data.enc: Permission denied") return 2;
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(bytes(), old);
  EXPECT_EQ(testing_support::entryCount(dir.path()), 1u);
}

TEST_F(VaultTest, failedCreateIsNotReportedAsCreated) {
  openVault();
  masterPassword = u"abcd";
  platform::files::setCallFaultsForTests({{platform::files::Call::SyncFile, 1, EIO}});
  EXPECT_EQ(outcomeOf(createVault()), Created::NotWritten);  // the main window still opens, with the failure shown
  EXPECT_EQ(bytes(), "\r\n");
  EXPECT_EQ(lastStatus(), u"Could not save data.enc: Input/output error");
  for (const auto& s : statuses) EXPECT_NE(s, u"Password created successfully");
}

TEST_F(VaultTest, unreadableVaultEndsTheProgramUntouched) {
  const std::string old = flip("pw") + "\r\n";
  write(old);
  ::chmod(vaultFile().c_str(), 0);
  int code = testing_support::runUnprivileged([&] {
    openVault();
    if (fatals.size() != 1) return 1;
    if (fatals[0] != u"Could not read " + platform::codepage::toUnicode(vaultFile()) + u": Permission denied") return 2;
    if (!events.empty()) return 3;  // no dialog
    return 0;
  });
  EXPECT_EQ(code, 0);
  ::chmod(vaultFile().c_str(), 0600);
  EXPECT_EQ(bytes(), old);
}

// Something other than a vault file in its place is named for what it is, left alone, and ends
// the program before any dialog (reading a FIFO would hang).
TEST_F(VaultTest, aNonRegularVaultIsRefusedAndLeftAlone) {
  const std::pair<std::function<void(const std::string&)>, std::u16string> cases[] = {
      {[](const std::string& p) { ::mkdir(p.c_str(), 0755); }, u"Not a regular file"},
      {[](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, u"Not a regular file"},
      {[](const std::string& p) { ::symlink("/dev/null", p.c_str()); }, u"Not a regular file"},
      {[](const std::string& p) { ::symlink("/nonexistent/vault", p.c_str()); }, u"A link to a missing file"},
  };
  for (const auto& [make, reason] : cases) {
    make(vaultFile());
    const auto kind = platform::files::pathKind(vaultFile());
    fatals.clear();
    openVault();
    ASSERT_EQ(fatals.size(), 1u);
    EXPECT_EQ(fatals[0], u"Could not open " + platform::codepage::toUnicode(vaultFile()) + u": " + reason);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(platform::files::pathKind(vaultFile()), kind);
    std::filesystem::remove(vaultFile());
  }
}

// Two programs on one vault would each rewrite it without the other's changes.
TEST_F(VaultTest, aSecondProgramOnTheSameVaultIsTurnedAway) {
  write(flip("pw") + "\r\n");
  ASSERT_EQ(platform::files::lockForProcess(dir.file(".data.enc.lock")), platform::files::LockResult::Held);
  openVault();
  ASSERT_EQ(fatals.size(), 1u);
  EXPECT_EQ(fatals[0], u"Keyloft is already running with the vault " + platform::codepage::toUnicode(vaultFile()) +
                           u".  Only one Keyloft at a time can use a vault.");
  EXPECT_TRUE(events.empty());
  resetVaultForTests();  // the other program ends
  openVault();
  EXPECT_EQ(fatals.size(), 1u);
  EXPECT_EQ(events, std::vector<std::string>{"ask"});
}

// Where no lock file can be made (here a folder stands in its place) nobody can hold one either:
// the start goes on.
TEST_F(VaultTest, aVaultWhoseLockFileCannotBeMadeStillOpens) {
  write(flip("pw") + "\r\n");
  std::filesystem::create_directory(dir.file(".data.enc.lock"));
  openVault();
  EXPECT_TRUE(fatals.empty());
  EXPECT_EQ(events, std::vector<std::string>{"ask"});
}

TEST_F(VaultTest, startRemovesWhatKilledSavesLeftBehind) {
  write(flip("pw") + "\r\n");
  testing_support::writeBytes(dir.file("data.enc.tmp-Xy12z9"), "copy of the vault");
  openVault();
  EXPECT_FALSE(std::filesystem::exists(dir.file("data.enc.tmp-Xy12z9")));
  EXPECT_EQ(bytes(), flip("pw") + "\r\n");
}

TEST_F(VaultTest, aNewVaultOnAFolderWithoutHardLinks) {
  platform::files::setCallFaultsForTests({{platform::files::Call::Link, 1, EPERM}});
  openVault();
  EXPECT_TRUE(fatals.empty());
  EXPECT_EQ(bytes(), "\r\n");
  EXPECT_EQ(events, std::vector<std::string>{"ask new"});
}
