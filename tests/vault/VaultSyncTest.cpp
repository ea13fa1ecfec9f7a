// Protects a vault in a synced folder: a file changed by another machine is read again before a
// change is applied, never overwritten unread, and its conflicting copies can be merged.
#include "VaultFixture.h"

#include "platform/base/CodePage.h"
#include "vault/EntryChange.h"
#include "vault/SealedVault.h"

#include <filesystem>
#include <functional>

using namespace modGlobals;
using E = testing_support::Entry;
using testing_support::vaultImage;

namespace {

const E kAlice{"alice", "a1", "a.example"}, kBob{"bob", "b2", "b.example"}, kCy{"cy", "c3", ""},
    kDan{"dan", "d4", "d.example"};

Entry entry(const E& e) { return {std::string_view(e[0]), std::string_view(e[1]), std::string_view(e[2])}; }

std::vector<E> rows(const platform::ListItems& list) {
  std::vector<E> all;
  for (std::int64_t n = 1; n <= list.count(); ++n)
    all.push_back(
        {std::string(list.row(n).column(0)), std::string(list.row(n).column(1)), std::string(list.row(n).column(2))});
  return all;
}

std::string sealedWith(const char* password, const std::string& plain) {
  return *vault::sealed::seal(plain, *vault::sealed::newSealing(password, vault::sealed::kCheapKdfForTests));
}

}  // namespace

class VaultSyncTest : public VaultTest {
 protected:
  // Another machine's save, as a sync program lands it: a new file renamed over data.enc.
  void arrive(const std::string& image, const std::string& name = "data.enc") const {
    testing_support::writeBytes(dir.file("incoming"), image);
    std::filesystem::rename(dir.file("incoming"), dir.file(name));
  }
  void open(const std::vector<E>& entries, bool sealed = false) {
    resetVaultForTests();
    list.clear();
    masterPassword = u"pw";
    write(vaultImage("pw", entries));
    ASSERT_TRUE(loadVault());
    if (sealed) {
      ASSERT_TRUE(encryptVault());
    }
    statuses.clear();
    boxes.clear();
  }
};

TEST_F(VaultSyncTest, aChangeAppliesToWhatTheFileChangedOnDiskHoldsNow) {
  const E bobThere{"bob", "bX", "b.example"}, bobHere{"bob", "B2", "b.example"};
  const struct {
    const char* what;
    std::vector<E> there;
    std::function<bool()> change;
    std::vector<E> after;
    const char* master = "pw";
  } cases[] = {
      {"add", {kAlice, kBob, kDan}, [] { return addEntry(entry(kCy)).ok(); }, {kAlice, kBob, kDan, kCy}},
      {"replace",
       {kDan, kAlice, kBob},
       [&] { return replaceEntry(2, entry(kBob), entry(bobHere)).ok(); },
       {kDan, kAlice, bobHere}},
      {"replace an entry changed there",
       {kAlice, bobThere},
       [&] { return replaceEntry(2, entry(kBob), entry(bobHere))->addedAsNew; },
       {kAlice, bobThere, bobHere}},
      {"replace an entry deleted there",
       {kAlice},
       [&] { return replaceEntry(2, entry(kBob), entry(bobHere))->addedAsNew; },
       {kAlice, bobHere}},
      {"remove", {kAlice, kDan, kBob}, [] { return removeEntry(2, entry(kBob)).ok(); }, {kAlice, kDan}},
      {"remove an entry deleted there",
       {kDan, kAlice},
       [] { return removeEntry(2, entry(kBob)).ok(); },
       {kDan, kAlice}},
      {"change the master password",
       {kDan, kAlice},
       [] { return changeMasterPassword(u"new").ok(); },
       {kDan, kAlice},
       "new"},
  };
  for (const auto& c : cases) {
    open({kAlice, kBob});
    arrive(vaultImage("pw", c.there));
    EXPECT_TRUE(c.change()) << c.what;
    EXPECT_EQ(bytes(), vaultImage(c.master, c.after)) << c.what;
    EXPECT_EQ(rows(list), c.after) << c.what;
  }
}

TEST_F(VaultSyncTest, aVaultThatNowNeedsAnotherPasswordRefusesEveryChangeUntilTheRestart) {
  for (const bool sealed : {false, true}) {
    open({kAlice}, sealed);
    const std::string theirs = sealed ? sealedWith("new", vaultImage("new", {kBob})) : vaultImage("new", {kBob});
    arrive(theirs);
    EXPECT_FALSE(addEntry(entry(kCy))) << sealed;
    EXPECT_FALSE(removeEntry(1, entry(kAlice))) << sealed;
    EXPECT_EQ(bytes(), theirs) << sealed;
    EXPECT_EQ(rows(list), std::vector<E>{kAlice}) << sealed;
    EXPECT_EQ(lastStatus(), u"Not saved: data.enc now needs its new master password.  Restart Keyloft.") << sealed;
    EXPECT_EQ(boxes,
              std::vector<std::u16string>{
                  u"Vault Changed: data.enc was changed on another machine and now opens with a different "
                  u"master password.  Keyloft keeps the list as it was; restart Keyloft and enter the new "
                  u"password to see the changes."})
        << sealed;
  }
}

TEST_F(VaultSyncTest, aVaultThatCanNotBeReadKeepsTheListAndTheNextSaveRepairsIt) {
  open({kAlice}, true);
  arrive(bytes().substr(0, 100));
  ASSERT_TRUE(addEntry(entry(kCy)));
  EXPECT_EQ(statuses.front(),
            u"data.enc changed on disk but cannot be read: The encrypted vault is cut short.  The "
            u"list is kept.");
  EXPECT_EQ(rows(list), (std::vector<E>{kAlice, kCy}));
  list.clear();
  EXPECT_EQ(*reloadVault(), 2);
  EXPECT_EQ(rows(list), (std::vector<E>{kAlice, kCy}));
}

TEST_F(VaultSyncTest, aReloadKeepsTheSortOrderAndTheSelectedEntryButOwnSavesAreNoChange) {
  open({kBob, kAlice});
  list.setSortOrder(platform::kSortDescending);
  list.setSorted(true);
  list.setSelected(2, true);  // alice
  ASSERT_TRUE(addEntry(entry(kCy)));
  const std::size_t said = statuses.size();
  vaultFolderChanged();
  EXPECT_EQ(statuses.size(), said);
  arrive(vaultImage("pw", {kAlice, kDan, kBob}));
  vaultFolderChanged();
  EXPECT_EQ(lastStatus(), u"data.enc changed on disk.  Loaded 3 entries.");
  EXPECT_EQ(rows(list), (std::vector<E>{kDan, kBob, kAlice}));
  EXPECT_EQ(list.firstSelected(), 3);
}

TEST(ConflictingCopies, areKnownByTheNamesSyncProgramsGiveThem) {
  const std::pair<const char*, bool> names[] = {
      {"data.sync-conflict-20240131-101530-ABCDEF7.enc", true},
      {"data (conflicted copy 2024-01-31 101530).enc", true},
      {"data (Ann's conflicted copy 2024-01-31).enc", true},
      {"data (Ann\u2019s conflicted copy 2024-01-31 (1)).enc", true},
      {"data.enc", false},
      {"data.enc.tmp-Xy12z9", false},
      {"data.sync-conflict-20240131-101530-ABCDEF7.enc.tmp", false},
      {"other.sync-conflict-20240131-101530-ABCDEF7.enc", false},
      {"data (copy).enc", false},
  };
  for (const auto& [name, conflict] : names) EXPECT_EQ(isConflictingCopyName(name), conflict) << name;
}

TEST_F(VaultSyncTest, aConflictingCopyIsMergedOnceAskedAndOnlyThenDeleted) {
  const std::string syncthing = "data.sync-conflict-20240131-101530-ABCDEF7.enc";
  const std::string dropbox = "data (Ann's conflicted copy 2024-01-31).enc";
  const std::string foreign = "data (conflicted copy 2024-01-31 101530).enc";
  open({kAlice, kBob});
  arrive(vaultImage("pw", {kBob, kDan, kAlice, kDan}), syncthing);
  arrive(vaultImage("pw", {kCy}), dropbox);
  arrive(vaultImage("theirs", {kCy}), foreign);
  answerYes = false;
  vaultFolderChanged();
  EXPECT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0], u"Conflicting Copy: A sync program left another version of your vault: " +
                          platform::codepage::toUnicode(dropbox) + u".  Merge its entries into data.enc?");
  EXPECT_EQ(boxes[1], u"Conflicting Copy: A sync program left another version of your vault: " +
                          platform::codepage::toUnicode(foreign) +
                          u".  Keyloft cannot open it with the current master password and leaves it as it is.");
  vaultFolderChanged();
  EXPECT_EQ(boxes.size(), 3u);  // not asked again in this run
  ASSERT_TRUE(mergeConflictingCopy(syncthing));
  EXPECT_EQ(bytes(), vaultImage("pw", {kAlice, kBob, kDan}));
  EXPECT_EQ(lastStatus(), u"Merged 1 entries from " + platform::codepage::toUnicode(syncthing) + u".  Data saved.");
  EXPECT_EQ(conflictingCopies(), (std::vector<std::string>{dropbox, foreign}));
  platform::files::setCallFaultsForTests({{platform::files::Call::Rename, 1, EIO}});
  EXPECT_FALSE(mergeConflictingCopy(dropbox));
  EXPECT_EQ(rows(list), (std::vector<E>{kAlice, kBob, kDan}));
  EXPECT_EQ(conflictingCopies(), (std::vector<std::string>{dropbox, foreign}));
}

TEST_F(VaultSyncTest, theLockIsKeptInTheRuntimeFolderOncePerVault) {
  platform::files::setRuntimeFolderForTests(dir.file("run"));
  std::filesystem::create_directory(dir.file("run"));
  std::filesystem::create_directory(dir.file("other"));
  std::filesystem::create_symlink(vaultFile(), dir.file("other/data.enc"));
  write(vaultImage("pw", {}));
  ASSERT_TRUE(lockVault());
  EXPECT_FALSE(std::filesystem::exists(dir.file(".data.enc.lock")));
  EXPECT_EQ(testing_support::entryCount(dir.file("run")), 1u);
  // Another program folder linked to the same vault meets the same lock.
  EXPECT_EQ(testing_support::runInChild([&] {
              platform::files::releaseLocksForTests();
              resetVaultForTests();
              platform::files::setProgramFolderForTests(dir.file("other"));
              return lockVault() ? 0 : 1;
            }),
            1);
}
