// Protects the vault from loss: failed writes keep the old bytes and are never reported as saved,
// files are owner-only, and a file that can't be read is never replaced.
#include "VaultFixture.h"

#include "platform/CodePage.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using namespace modGlobals;

namespace {

bool startsWith(const std::u16string& s, std::u16string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

}  // namespace

TEST_F(VaultTest, NewVaultIsOwnerOnlyAndARewriteKeepsPermissions) {
  openVault();
  EXPECT_EQ(testing_support::fileMode(vaultFile()), 0600);
  ::chmod(vaultFile().c_str(), 0640);
  masterPassword = u"abcd";
  list.add("u", "p", "l");
  EXPECT_TRUE(saveVault());
  EXPECT_EQ(testing_support::fileMode(vaultFile()), 0640);
}

TEST_F(VaultTest, SaveFailingPartwayKeepsTheOldBytesAndSaysWhy) {
  const std::string old = flip("pw") + "\r\n" + flip("a|||b|||c") + "\r\n\r\n";
  write(old);
  masterPassword = u"pw";
  list.add("new", "entry", "here");
  platform::files::setWriteFaultForTests(platform::files::WriteFault{platform::files::FaultStep::Write, 5, ENOSPC});
  EXPECT_FALSE(saveVault());
  EXPECT_EQ(bytes(), old);
  EXPECT_EQ(lastStatus(), u"Could not save data.enc: No space left on device");
  EXPECT_EQ(testing_support::entryCount(dir.path()), 1u);
  for (const auto& s : statuses) EXPECT_FALSE(startsWith(s, u"Saved "));
}

TEST_F(VaultTest, SaveIntoAReadOnlyFolderKeepsTheOldBytes) {
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

TEST_F(VaultTest, FailedCreateIsNotReportedAsCreated) {
  openVault();
  masterPassword = u"abcd";
  platform::files::setWriteFaultForTests(platform::files::WriteFault{platform::files::FaultStep::Sync, 0, EIO});
  EXPECT_FALSE(createVault());
  EXPECT_EQ(bytes(), "\r\n");
  EXPECT_EQ(lastStatus(), u"Could not save data.enc: Input/output error");
  for (const auto& s : statuses) EXPECT_NE(s, u"Password created successfully");
  EXPECT_EQ(events.back(), "afterFormLoad");  // the main window still opens, with the failure shown
}

TEST_F(VaultTest, UnreadableVaultEndsTheProgramUntouched) {
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

TEST_F(VaultTest, VaultThatCannotBeCreatedEndsTheProgram) {
  ::mkdir(vaultFile().c_str(), 0755);  // a folder where the file should be
  openVault();
  ASSERT_EQ(fatals.size(), 1u);
  EXPECT_TRUE(startsWith(fatals[0], u"Could not create "));
  EXPECT_NE(fatals[0].find(u": File exists"), std::u16string::npos);
  EXPECT_TRUE(events.empty());
}
