// Protects the vault's byte format through its operations: open, create, load and save.
#include "VaultFixture.h"

using namespace modGlobals;

TEST_F(VaultTest, openWithoutAFileCreatesOneEmptyLineAndAsksForANewPassword) {
  openVault();
  EXPECT_EQ(bytes(), "\r\n");
  EXPECT_EQ(events, std::vector<std::string>{"ask new"});
  EXPECT_TRUE(creatingMasterPassword);
}

TEST_F(VaultTest, openWithAPasswordAsksToVerifyIt) {
  write(flip("Secret") + "\r\n" + flip("a|||b|||c") + "\r\n\r\n");
  openVault();
  EXPECT_EQ(events, std::vector<std::string>{"ask"});
  EXPECT_FALSE(creatingMasterPassword);
  EXPECT_EQ(storedMasterPassword, u"Secret");
}

TEST_F(VaultTest, zeroByteFileMeansNoMasterPasswordYet) {
  write("");
  openVault();
  EXPECT_EQ(events, std::vector<std::string>{"ask new"});
  EXPECT_EQ(bytes(), "");  // nothing rewritten just by opening
  EXPECT_TRUE(loadVault());
  EXPECT_EQ(lastStatus(), u"Loaded 0 entries");
}

TEST_F(VaultTest, createWritesOnlyThePasswordLine) {
  openVault();
  events.clear();
  masterPassword = u"P\u00E4ss\u20AC";  // accents and the euro sign are in the code page
  EXPECT_EQ(outcomeOf(createVault()), Created::Written);
  EXPECT_EQ(bytes(), flip("P\xE4ss\x80") + "\r\n");  // n + 2 bytes
  EXPECT_EQ(lastStatus(), u"Password created successfully");
  EXPECT_EQ(list.count(), 0);
  EXPECT_TRUE(events.empty());                    // the windows' steps around it are the password dialog's
  EXPECT_EQ(masterPassword, u"P\u00E4ss\u20AC");  // the plain value in memory is unchanged
}

TEST_F(VaultTest, createKeepsEntryLinesFoundUnderAnEmptyFirstLine) {
  const std::string entries = flip("u|||p|||l") + "\r\n" + flip("v|||q|||m") + "\r\n\r\n";
  write("\r\n" + entries);
  openVault();
  masterPassword = u"abcd";
  EXPECT_EQ(outcomeOf(createVault()), Created::Written);
  EXPECT_EQ(bytes(), flip("abcd") + "\r\n" + entries);
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(row(1), "u/p/l");
  EXPECT_EQ(row(2), "v/q/m");
}

TEST_F(VaultTest, oneEntryFileLoadsAndSavesToTheSameBytes) {
  const std::string image = flip("pw") + "\r\n" + flip("a|||b|||c") + "\r\n\r\n";
  ASSERT_EQ(image.size(), 2u + 15u);
  write(image);
  masterPassword = u"pw";
  EXPECT_TRUE(loadVault());
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(row(1), "a/b/c");
  EXPECT_EQ(lastStatus(), u"Loaded 1 entries");
  EXPECT_TRUE(saveVault());
  EXPECT_EQ(bytes(), image);
  EXPECT_EQ(lastStatus().substr(0, 6), u"Saved ");
  EXPECT_GT(lastStatus().size(), 6u);
}

TEST_F(VaultTest, savingAnEmptyListWritesThePasswordAndTwoLineEnds) {
  masterPassword = u"pw";
  EXPECT_TRUE(saveVault());
  EXPECT_EQ(bytes(), flip("pw") + "\r\n\r\n");
  EXPECT_TRUE(loadVault());
  EXPECT_EQ(lastStatus(), u"Loaded 0 entries");
}

TEST_F(VaultTest, loadingFollowsTheSplitAndSkipRules) {
  write(flip("pw") + "\r\n" + flip("empty||||||pw") + "\r\n" +  // empty password: six bars in a row
        "\r\n" + " \r\n" +                                      // raw empty and raw single-space lines are skipped
        flip("bar||||p|||l") + "\r\n" +                         // a user name ending in a bar loses it to the password
        flip("f|||a|||b|||c") + "\r\n" +                        // a field holding the separator moves the rest on
        flip("short") + "\r\n" +                                // fewer pieces: the missing fields are empty
        flip("lf|||a\x8A"
             "b|||l") +
        "\r\n" +  // plain 138 is a line feed in the file
        "\r\n");
  EXPECT_TRUE(loadVault());
  ASSERT_EQ(list.count(), 5);
  EXPECT_EQ(row(1), "empty//pw");
  EXPECT_EQ(row(2), "bar/|p/l");
  EXPECT_EQ(row(3), "f/a/b");
  EXPECT_EQ(row(4), "short//");
  EXPECT_EQ(row(5),
            "lf/a\x8A"
            "b/l");
  EXPECT_EQ(lastStatus(), u"Loaded 5 entries");
}

TEST_F(VaultTest, plainCode138RoundTripsThroughSave) {
  masterPassword = u"pw";
  list.add("u",
           "a\x8A"
           "b",
           "");
  EXPECT_TRUE(saveVault());
  EXPECT_NE(bytes().find("\xE1\n\xE2"), std::string::npos);  // "a", the line feed, "b"
  list.clear();
  EXPECT_TRUE(loadVault());
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(row(1),
            "u/a\x8A"
            "b/");
}

TEST_F(VaultTest, saveWritesTheListsCurrentOrder) {
  masterPassword = u"pw";
  list.add("b", "1", "");
  list.add("a", "2", "");
  list.setSorted(true);
  EXPECT_TRUE(saveVault());
  EXPECT_EQ(bytes(), flip("pw") + "\r\n" + flip("a|||2|||") + "\r\n" + flip("b|||1|||") + "\r\n\r\n");
}

TEST_F(VaultTest, noSixteenBitLimit) {
  masterPassword = u"pw";
  const std::int64_t n = 1'000'000;
  list.reserve(n);
  for (std::int64_t i = 0; i < n; ++i) list.add("user" + std::to_string(i), "p", "l");
  EXPECT_TRUE(saveVault());
  list.clear();
  EXPECT_TRUE(loadVault());
  EXPECT_EQ(lastStatus(), u"Loaded 1000000 entries");
  ASSERT_EQ(list.count(), n);
  EXPECT_EQ(row(n), "user999999/p/l");
}
