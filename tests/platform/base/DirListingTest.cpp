// Protects the one-name directory listing: wildcards, hidden names, regular files only, name order.
#include "platform/base/DirListing.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using testing_support::TempFolder;
using testing_support::writeBytes;

TEST(Wildcards, matchStarAndQuestionMark) {
  EXPECT_TRUE(platform::wildcardMatch("*", "anything"));
  EXPECT_TRUE(platform::wildcardMatch("d?ta.*", "data.enc"));
  EXPECT_TRUE(platform::wildcardMatch("*.enc", ".enc"));
  EXPECT_FALSE(platform::wildcardMatch("d?ta", "dta"));
  EXPECT_FALSE(platform::wildcardMatch("*.enc", "data.encx"));
  EXPECT_TRUE(platform::wildcardMatch("a*b*c", "aXbYbZc"));
  EXPECT_FALSE(platform::wildcardMatch("[a]", "a"));  // brackets are ordinary characters
  EXPECT_TRUE(platform::wildcardMatch("[a]*", "[a]b"));
  EXPECT_TRUE(platform::wildcardMatch("a\\*", "a\\b"));  // and so is a backslash
}

TEST(FindFirstFile, findsRegularVisibleFilesInNameOrder) {
  TempFolder dir;
  writeBytes(dir.file("b.txt"), "b");
  writeBytes(dir.file("a.txt"), "a");
  writeBytes(dir.file(".hidden.txt"), "h");
  ::mkdir(dir.file("0.txt").c_str(), 0755);
  std::string name;
  ASSERT_TRUE(platform::findFirstFile(dir.file("*.txt"), name));
  EXPECT_EQ(name, "a.txt");
  ASSERT_TRUE(platform::findFirstFile(dir.file(".hidden.txt"), name));
  EXPECT_EQ(name, "");
  ASSERT_TRUE(platform::findFirstFile(dir.file("0.txt"), name));
  EXPECT_EQ(name, "");
  // Names are case-sensitive, as the host file system is.
  ASSERT_TRUE(platform::findFirstFile(dir.file("A.TXT"), name));
  EXPECT_EQ(name, "");
}

TEST(FindFirstFile, unreadableFolderFails) {
  TempFolder dir;
  std::string name;
  EXPECT_FALSE(platform::findFirstFile(dir.file("missing/x"), name));
}
