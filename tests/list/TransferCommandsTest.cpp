// Protects File > Import and Export as the user meets them: the boxes and their texts, the
// password of another encrypted vault, one save for the whole import, nothing written when refused.
#include "EntriesFixture.h"

#include "list/TransferChoosers.h"
#include "vault/KdfCosts.h"
#include "vault/SealedVault.h"

using namespace entries_test;

namespace {

const std::vector<Entry> kVault = {{"ann", "pw1", "https://a.example"}};

class TransferCommands : public EntriesFixture {
 protected:
  void chooseFile(const std::string& path) {
    transferChoosers::setAnswersForTests({[=] { return QString::fromStdString(path); },
                                          [=] { return QString::fromStdString(path); },
                                          [this]() -> std::optional<platform::SecretText> {
                                            if (typed.empty()) return std::nullopt;
                                            platform::SecretText next(typed.front());
                                            typed.erase(typed.begin());
                                            return next;
                                          }});
  }
  // Opens the vault, picks `path` in the chooser and runs the menu item, the box answered with `reply`.
  void runOnVault(QAction* Form1::*item, const std::string& path, int reply) {
    open(kVault);
    chooseFile(path);
    boxes.clear();
    answer = reply;
    (form->*item)->trigger();
  }
  std::vector<std::u16string> typed;  // the passwords the user types, in turn
  testing_support::TempFolder files;
};

}  // namespace

TEST_F(TransferCommands, importAsksWithTheCountsThenAppendsAndSavesOnce) {
  const std::string csv = files.file("passwords.csv");
  testing_support::writeBytes(csv,
                              "name,url,username,password\na,https://a.example,ann,pw1\nb,https://b.example,bob,"
                              "pw2\nc,,cy,pw3\nd,,dee,\n");
  for (const int answer : {platform::msgbox::vbCancel, platform::msgbox::vbOK}) {
    runOnVault(&Form1::mnuImport, csv, answer);
    const std::string before = vaultImage(kMaster, kVault);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Import Entries");
    EXPECT_EQ(boxes[0].text,
              "Import 2 entries from passwords.csv?  2 rows are left out: 1 without a password, 1 "
              "already in your vault.");
    EXPECT_EQ(boxes[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    if (answer == platform::msgbox::vbCancel) {
      EXPECT_EQ(fileBytes(), before);
      EXPECT_EQ(allEntries(), kVault);
      continue;
    }
    EXPECT_EQ(status(), "Imported 2 entries.  Data saved.");
    const std::vector<Entry> after = {kVault[0], {"bob", "pw2", "https://b.example"}, {"cy", "pw3", "c"}};
    EXPECT_EQ(allEntries(), after);
    EXPECT_EQ(fileBytes(), vaultImage(kMaster, after));
  }
}

TEST_F(TransferCommands, aRefusedFileNamesTheRowAndWritesNothing) {
  const std::string csv = files.file("broken.csv");
  testing_support::writeBytes(csv, "name,url,username,password\na,b,c,d\ne,f\n");
  runOnVault(&Form1::mnuImport, csv, platform::msgbox::vbOK);
  const std::string before = vaultImage(kMaster, kVault);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Could not import broken.csv: Row 3 has 2 fields where the header row has 4.");
  EXPECT_EQ(fileBytes(), before);
}

TEST_F(TransferCommands, anEncryptedVaultIsOpenedWithTheMasterPasswordOrTheOneTyped) {
  const struct {
    const char16_t* password;
    std::vector<std::u16string> typed;
    QStringList boxTitles;
  } cases[] = {
      {u"master", {}, {"Import Entries"}},
      {u"other", {u"wrong", u"other"}, {"Incorrect Password", "Import Entries"}},
      {u"other", {u"wrong"}, {"Incorrect Password"}},  // then the user cancels
  };
  for (const auto& c : cases) {
    const std::string path = files.file("old.enc");
    auto sealing = vault::sealed::newSealing(platform::codepage::fromUnicode(c.password),
                                             vault::sealed::costsForNewKey());
    ASSERT_TRUE(sealing.ok());
    auto sealed = vault::sealed::seal(vaultImage("x", {{"zed", "z1", "z.example"}}), *sealing);
    ASSERT_TRUE(sealed.ok());
    testing_support::writeBytes(path, *sealed);
    typed = c.typed;
    runOnVault(&Form1::mnuImport, path, platform::msgbox::vbOK);
    QStringList titles;
    for (const ShownBox& box : boxes) titles << box.title;
    EXPECT_EQ(titles, c.boxTitles);
    EXPECT_EQ(rows().count(), c.boxTitles.back() == "Import Entries" ? 2 : 1);
  }
}

TEST_F(TransferCommands, exportWarnsThenWritesEveryEntryOwnerOnly) {
  const std::string csv = files.file("keyloft-export.csv");
  for (const int answer : {platform::msgbox::vbCancel, platform::msgbox::vbOK}) {
    runOnVault(&Form1::mnuExport, csv, answer);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Export Entries");
    EXPECT_EQ(boxes[0].text,
              "The exported file holds every password in readable form.  Anyone who gets the file can "
              "read them all.  Export anyway?");
    if (answer == platform::msgbox::vbCancel) {
      EXPECT_EQ(platform::files::pathKind(csv), platform::files::PathKind::Missing);
      continue;
    }
    EXPECT_EQ(status(), "Exported 1 entry to keyloft-export.csv.");
    EXPECT_EQ(testing_support::readBytes(csv),
              "name,url,username,password,note\r\na.example,https://a.example,ann,pw1,\r\n");
    EXPECT_EQ(testing_support::fileMode(csv), 0600);
  }
}
