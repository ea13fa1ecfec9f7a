// Protects the encrypted vault's rewrites against faults beneath them: whichever call of the save
// fails, the file, its form (plain or encrypted) and the master password stay as they were.
#include "VaultFixture.h"

#include "platform/base/CodePage.h"

#include <cerrno>
#include <cstring>
#include <functional>

using namespace modGlobals;
namespace files = platform::files;

TEST_F(VaultTest, aRewriteFailingAtAnyCallKeepsTheFileItsFormAndThePassword) {
  const struct Operation {
    const char* name;
    bool fromSealed;
    std::function<Done()> run;
  } operations[] = {
      {"encrypt", false, [] { return encryptVault(); }},
      {"remove encryption", true, [] { return removeEncryption(); }},
      {"change a plain vault's password", false, [] { return changeMasterPassword(u"new password"); }},
      {"change an encrypted vault's password", true, [] { return changeMasterPassword(u"new password"); }},
  };
  for (const Operation& op : operations) {
    for (files::Call call : {files::Call::CreateTemporary, files::Call::SetMode, files::Call::Write,
                             files::Call::SyncFile, files::Call::Close, files::Call::Rename}) {
      const std::string what = std::string(op.name) + ", " + files::callName(call);
      resetVaultForTests();
      masterPassword = u"pw";
      list.clear();
      list.add("alice", "a1", "a.example");
      ASSERT_TRUE(saveVault());
      if (op.fromSealed) {
        ASSERT_TRUE(encryptVault()) << what;
      }
      const std::string before = bytes();
      files::setCallFaultsForTests({{call, 1, EIO}});
      EXPECT_FALSE(op.run()) << what;
      files::clearCallFaultsForTests();
      EXPECT_EQ(bytes(), before) << what;
      EXPECT_EQ(vaultSealed(), op.fromSealed) << what;
      EXPECT_EQ(masterPassword, u"pw") << what;
      EXPECT_EQ(lastStatus(), u"Could not save data.enc: " + platform::codepage::toUnicode(std::strerror(EIO))) << what;
    }
  }
}

// A vault found empty after it was encrypted is created again only encrypted: while its key can't
// be derived, neither the creation nor a later save writes anything.
TEST_F(VaultTest, aVaultThatWasEncryptedIsNotWrittenWithoutItsKey) {
  masterPassword = u"pw";
  ASSERT_TRUE(saveVault() && encryptVault());
  write("");
  resetVaultForTests();
  openVault();
  masterPassword = u"new pw";
  vault::sealed::failKeyDerivationsForTests(true);
  EXPECT_EQ(outcomeOf(createVault()), Created::NotWritten);
  EXPECT_FALSE(saveVault());
  EXPECT_EQ(bytes(), "");
  EXPECT_EQ(lastStatus(), u"Could not save data.enc: Not enough memory for the key derivation (8 MiB)");
}
