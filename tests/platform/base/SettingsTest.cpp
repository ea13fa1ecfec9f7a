// Protects the per-user settings store: defaults, round trips, one file per application,
// written to disk at once, and kept inside its folder.
#include "platform/base/Settings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace settings = platform::settings;

namespace {

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    QStandardPaths::setTestModeEnabled(true);
    ASSERT_TRUE(folder.isValid());
    settings::setSettingsFolderForTests(folder.path());
  }
  void TearDown() override { settings::setSettingsFolderForTests({}); }

  QStringList files() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }
  static QString get(const QString& app, const QString& section, const QString& key) {
    return settings::getSetting(app, section, key, QStringLiteral("default"));
  }

  QTemporaryDir folder;
  const QString app = QStringLiteral("Keyloft");
  const QString section = QStringLiteral("Settings");
  const QString key = QStringLiteral("showHelp");
};

}  // namespace

TEST_F(Settings, savedValuesReadBackExactlyAndReachTheDiskAtOnce) {
  EXPECT_EQ(get(app, section, key), QStringLiteral("default"));
  EXPECT_TRUE(files().isEmpty());  // reading creates nothing

  settings::saveSetting(app, section, key, QStringLiteral("0"));
  EXPECT_EQ(files(), QStringList{QStringLiteral("Keyloft.ini")});
  QFile file(QDir(folder.path()).filePath(QStringLiteral("Keyloft.ini")));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("[Settings]\nshowHelp=0"));
  EXPECT_EQ(get(app, section, key), QStringLiteral("0"));

  settings::saveSetting(app, section, key, QString());
  EXPECT_EQ(get(app, section, key), QString());
  const QString awkward = QStringLiteral(" a, b = \"c\"; @d \u00e9\u20ac ");
  settings::saveSetting(app, QStringLiteral("General"), key, awkward);
  EXPECT_EQ(get(app, QStringLiteral("General"), key), awkward);
}

TEST_F(Settings, eachApplicationHasItsOwnFileInsideTheFolder) {
  settings::saveSetting(QStringLiteral("One"), section, key, QStringLiteral("1"));
  settings::saveSetting(QStringLiteral("../Two"), section, key, QStringLiteral("2"));
  EXPECT_EQ(get(QStringLiteral("One"), section, key), QStringLiteral("1"));
  EXPECT_EQ(get(QStringLiteral("../Two"), section, key), QStringLiteral("2"));
  EXPECT_EQ(files().size(), 2);
  EXPECT_FALSE(QFile::exists(folder.path() + QStringLiteral("/../Two.ini")));
}
