// Protects the product identity and the file helpers every window leans on.
#include "app/modLivery.h"
#include "app/RunState.h"
#include "app/xfileExists.h"
#include "platform/base/VersionRecord.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using testing_support::TempFolder;
using testing_support::writeBytes;
using xfileExists::fileExists;
using xfileExists::stripPath;

TEST(ProductIdentity, comesFromTheVersionRecord) {
  app::resetForTests();
  modLivery::loadProductIdentity();
  EXPECT_EQ(modLivery::productName, QStringLiteral("Keyloft"));
  EXPECT_FALSE(modLivery::companyName.isEmpty());
  EXPECT_FALSE(modLivery::productSiteName.isEmpty());
  EXPECT_TRUE(modLivery::productWebAddress.startsWith(QStringLiteral("https://")));
  EXPECT_TRUE(modLivery::useSkin);
  const auto& record = platform::versionRecord();
  EXPECT_STREQ(record.fileVersion, "1.00");
  EXPECT_STREQ(record.productVersion, "1.00");
  EXPECT_EQ(record.major, 1);
  EXPECT_EQ(record.minor, 0);
  EXPECT_EQ(modLivery::companyName, QString::fromUtf8(record.companyName));
  EXPECT_EQ(modLivery::productSiteName, QString::fromUtf8(record.comments));
  // A second load changes nothing.
  QString company = modLivery::companyName;
  modLivery::loadProductIdentity();
  EXPECT_EQ(modLivery::companyName, company);
}

TEST(StripPath, keepsWhatFollowsTheLastSeparator) {
  EXPECT_EQ(stripPath(""), "");
  EXPECT_EQ(stripPath("/opt/keyloft/data.enc"), "data.enc");
  EXPECT_EQ(stripPath("data.enc"), "data.enc");
  EXPECT_EQ(stripPath("/opt/keyloft/"), "");
  EXPECT_EQ(stripPath("a\\b\\c"), "a\\b\\c");  // a backslash is an ordinary character here
}

TEST(FileExists, ordinaryVisibleFilesOnly) {
  TempFolder dir;
  writeBytes(dir.file("data.enc"), "\r\n");
  writeBytes(dir.file(".hidden"), "x");
  ::mkdir(dir.file("folder").c_str(), 0755);
  EXPECT_TRUE(fileExists(dir.file("data.enc")));
  EXPECT_FALSE(fileExists(dir.file("DATA.ENC")));  // the host's names are case-sensitive
  EXPECT_FALSE(fileExists(dir.file(".hidden")));
  EXPECT_FALSE(fileExists(dir.file("folder")));
  EXPECT_FALSE(fileExists(dir.file("missing")));
  EXPECT_FALSE(fileExists(dir.file("nofolder/data.enc")));
  EXPECT_FALSE(fileExists(dir.path() + "/"));
}

TEST(FileExists, wildcardsMatchOnlyWhenTheFoundNameEqualsThePattern) {
  TempFolder dir;
  writeBytes(dir.file("data.enc"), "");
  EXPECT_FALSE(fileExists(dir.file("*.enc")));
  EXPECT_FALSE(fileExists(dir.file("d?ta.enc")));
  writeBytes(dir.file("*.enc"), "");  // a name that really is the pattern, and sorts first
  EXPECT_TRUE(fileExists(dir.file("*.enc")));
}
