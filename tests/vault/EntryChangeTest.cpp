// Protects adding, replacing and removing one entry: saved, or refused with the list and the file
// as they were.
#include "VaultFixture.h"

#include "vault/EntryChange.h"

#include <cerrno>
#include <functional>

using namespace modGlobals;

namespace {

Entry entry(const char* user, const char* password, const char* location) { return {user, password, location}; }

// Every row's texts, key and selection, in order.
std::vector<std::string> state(const platform::ListItems& list) {
  std::vector<std::string> rows;
  for (std::int64_t n = 1; n <= list.count(); ++n) {
    const auto& r = list.row(n);
    rows.push_back(std::string(r.text()) + "/" + std::string(r.subItem(1)) + "/" + std::string(r.subItem(2)) + "#" +
                   std::to_string(r.key()) + (r.selected() ? "*" : ""));
  }
  return rows;
}

}  // namespace

TEST_F(VaultTest, anEntryChangeThatCanNotBeSavedOrFindsAnotherEntryChangesNothing) {
  const Entry bob = entry("bob", "b2", "b.example");
  const struct {
    const char* what;
    bool saveFails;
    std::function<bool()> change;
    const char16_t* says;
  } cases[] = {
      {"add", true, [] { return addEntry(entry("cy", "c3", "c.example")).ok(); },
       u"Could not save data.enc: Input/output error"},
      {"replace", true, [&] { return replaceEntry(2, bob, entry("al", "a9", "x")).ok(); },
       u"Could not save data.enc: Input/output error"},
      {"remove", true, [&] { return removeEntry(2, bob).ok(); }, u"Could not save data.enc: Input/output error"},
      {"add many", true,
       [] {
         EntryBatch batch;
         batch.add("cy", "c3", "c.example");
         batch.add("aa", "d4", "d.example");  // sorted in before the existing rows
         return addEntries(batch).ok();
       },
       u"Could not save data.enc: Input/output error"},
      {"replace another entry", false, [&] { return replaceEntry(1, bob, entry("al", "a9", "x")).ok(); },
       u"The entry is no longer in the list."},
      {"remove another entry", false, [&] { return removeEntry(1, bob).ok(); }, u"The entry is no longer in the list."},
      {"remove past the end", false, [&] { return removeEntry(3, bob).ok(); }, u"The entry is no longer in the list."},
  };
  for (const auto& c : cases) {
    list.clear();
    list.setSorted(true);  // a replaced row moves to its sorted place, and must come back
    list.add("alice", "a1", "a.example");
    list.add("bob", "b2", "b.example");
    list.setSelected(2, true);
    masterPassword = u"pw";
    ASSERT_TRUE(saveVault());
    const std::string file = bytes();
    const std::vector<std::string> before = state(list);
    if (c.saveFails) platform::files::setCallFaultsForTests({{platform::files::Call::Rename, 1, EIO}});
    EXPECT_FALSE(c.change()) << c.what;
    platform::files::clearCallFaultsForTests();
    EXPECT_EQ(bytes(), file) << c.what;
    EXPECT_EQ(state(list), before) << c.what;
    EXPECT_EQ(lastStatus(), c.says) << c.what;
  }
}

TEST_F(VaultTest, anEntryChangeIsSavedAtOnce) {
  masterPassword = u"pw";
  list.add("alice", "a1", "a.example");
  ASSERT_TRUE(addEntry(entry("bob", "b2", "b.example")));
  ASSERT_TRUE(replaceEntry(1, entry("alice", "a1", "a.example"), entry("al", "a|1", "")));
  EXPECT_EQ(bytes(), testing_support::vaultImage("pw", {{"al", "a|1", ""}, {"bob", "b2", "b.example"}}));
  ASSERT_TRUE(removeEntry(2, entry("bob", "b2", "b.example")));
  EXPECT_EQ(bytes(), testing_support::vaultImage("pw", {{"al", "a|1", ""}}));
}
