// Protects the main window's entry commands: their status texts, the delete confirmation, the
// clipboard, the command line Go To starts, and that a failed save is never reported as saved.
#include "EntriesFixture.h"
#include "platform/forms/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace entries_test {
namespace {

using Commands = EntriesFixture;
namespace mb = platform::msgbox;

const std::vector<Entry> kThree = {
    {"alice", "s3cret", "www.example.org"}, {"bob", "", "C:\\Data\\notes.txt"}, {"carl", "pw", "ftp.site"}};

TEST_F(Commands, withoutSelectionEachCommandSaysSoAndChangesNothing) {
  open(kThree);
  const std::string before = fileBytes();
  platform::clipboard::setText(QStringLiteral("left over"), false);

  form->cmdEdit_Click();
  EXPECT_EQ(status(), "You must first select an entry to edit.");
  form->mnuDataItem_Click(1);
  EXPECT_EQ(status(), "You must first select an entry to delete.");
  form->mnuDataItem_Click(3);
  EXPECT_EQ(status(), "You must first select an entry to go to.");
  form->mnuCopyItem_Click(1);
  EXPECT_EQ(status(), "You must first select a row to copy from.");
  EXPECT_EQ(platform::clipboard::text(), QString());

  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(launches.empty());
  EXPECT_FALSE(platform::forms::isLoaded(frmAdd::name()));
  EXPECT_EQ(fileBytes(), before);
}

TEST_F(Commands, copyPutsTheFieldMarkedSecretAndShowsIt) {
  open(kThree);
  select(1);
  form->cmdCopy_Click(0);
  EXPECT_EQ(platform::clipboard::text(), "alice");
  EXPECT_EQ(status(), "Copied Username alice");
  EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("x-kde-passwordManagerHint")), "secret");
  form->mnuCopyItem_Click(2);
  EXPECT_EQ(platform::clipboard::text(), "www.example.org");
  EXPECT_EQ(status(), "Copied Location www.example.org");

  select(2);  // an empty password is copied as an empty text
  form->cmdCopy_Click(1);
  EXPECT_EQ(platform::clipboard::text(), QString());
  EXPECT_EQ(status(), "Copied Password ");

  // A huge field is copied whole; the status line only shows its start.
  form->lstPass->items().setRow(2, "u", std::string(1'000'000, 'p'), "l");
  form->cmdCopy_Click(1);
  EXPECT_EQ(platform::clipboard::text().size(), 1'000'000);
  EXPECT_LE(status().size(), 1025);
}

TEST_F(Commands, deleteAsksWithTheEntrysTextsAndSavesOnOk) {
  open({{"al\xE9", "p w", "x.org"}, {"bob", "b", "y"}});
  select(1);
  form->cmdDelete_Click();

  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, QStringLiteral("Are you sure you want to delete the following information?\r\n\r\n"
                                          "Username: al\u00E9\r\nPassword: p w\r\nUsed At: x.org"));
  EXPECT_EQ(boxes[0].title, "Confirm Delete");
  EXPECT_EQ(boxes[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(boxes[0].defaultButton, QMessageBox::Ok);
  EXPECT_EQ(boxes[0].icon, QMessageBox::NoIcon);

  EXPECT_EQ(allEntries(), (std::vector<Entry>{{"bob", "b", "y"}}));
  EXPECT_EQ(fileBytes(), vaultImage(kMaster, {{"bob", "b", "y"}}));
  EXPECT_EQ(status(), "Entry deleted successfully, data saved.");
}

TEST_F(Commands, deleteCancelledLeavesListAndFile) {
  open(kThree);
  const std::string before = fileBytes();
  select(2);
  answer = mb::vbCancel;
  form->mnuDataItem_Click(1);
  EXPECT_EQ(status(), "Entry not deleted, cancelled by user");
  EXPECT_EQ(allEntries(), kThree);
  EXPECT_EQ(fileBytes(), before);
}

TEST_F(Commands, deleteWhoseSaveFailsPutsTheRowBackAndSaysWhy) {
  open(kThree);
  const std::string before = fileBytes();
  select(2);
  platform::files::setCallFaultsForTests(
      {{platform::files::Call::Write, 1, 0, 3}, {platform::files::Call::Write, 2, ENOSPC}});
  form->cmdDelete_Click();

  EXPECT_EQ(allEntries(), kThree);
  EXPECT_EQ(rows().firstSelected(), 2);
  EXPECT_EQ(fileBytes(), before);
  EXPECT_TRUE(status().startsWith(QStringLiteral("Could not save"))) << status().toStdString();
}

TEST_F(Commands, goToStartsTheOpenerWithTheLocationAsOneArgument) {
  const std::vector<std::pair<std::string, QString>> cases = {
      {"www.example.net", "http://www.example.net"},
      {"SHOP.EXAMPLE.COM", "http://SHOP.EXAMPLE.COM"},
      {"HTTPS://bank.example.com/a b", "HTTPS://bank.example.com/a b"},
      {"C:\\Organizer\\notes.txt", "http://C:\\Organizer\\notes.txt"},
      {"C:\\Data\\notes.txt", "C:\\Data\\notes.txt"},
      {"x.com; rm -rf ~ \"$(id)\"", "http://x.com; rm -rf ~ \"$(id)\""},
  };
  std::vector<Entry> list;
  for (const auto& c : cases) list.push_back({"u", "p", c.first});
  open(list);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    select(static_cast<std::int64_t>(i) + 1);
    form->cmdGoto_Click();
    ASSERT_EQ(launches.size(), i + 1);
    EXPECT_EQ(launches.back().arguments, QStringList{cases[i].second}) << cases[i].first;
    EXPECT_EQ(status(), "Opening Location...");
  }
}

TEST_F(Commands, goToEmptyLocationAndAFailingOpener) {
  open({{"u", "p", ""}});
  select(1);
  form->mnuDataItem_Click(3);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].program, "xdg-open");  // the opener itself, no shell in between
  EXPECT_EQ(launches[0].arguments.join(QString()), QString());
  EXPECT_EQ(status(), "Opening Location...");

  launchError = QStringLiteral("No such file or directory");
  form->cmdGoto_Click();
  EXPECT_EQ(status(), "Could not open the location: No such file or directory");
}

TEST_F(Commands, addAndEditOpenTheEditorWithoutStatus) {
  open(kThree);
  form->mnuDataItem_Click(4);  // no such item: nothing opens
  EXPECT_EQ(editor(), nullptr);
  form->mnuDataItem_Click(0);
  ASSERT_NE(editor(), nullptr);
  EXPECT_EQ(editor()->caption(), "Add an entry");
  EXPECT_EQ(status(), "Loaded 3 entries");
  platform::forms::unload(frmAdd::name());

  select(3);
  form->mnuDataItem_Click(2);
  EXPECT_EQ(modGlobals::editorMode, "Edit");
  EXPECT_EQ(modGlobals::editorRow, 3);
  EXPECT_EQ(modGlobals::editorLocation, "ftp.site");
  ASSERT_NE(editor(), nullptr);
  EXPECT_EQ(editor()->txtUsername->text(), "carl");
  EXPECT_EQ(status(), "Loaded 3 entries");
}

TEST_F(Commands, commandsWorkPastSixteenBitRowNumbers) {
  std::vector<Entry> many(40000, Entry{"u", "p", "l"});
  many.back() = {"last", "pw", "loc"};
  open(many);
  select(40000);
  form->cmdCopy_Click(0);
  EXPECT_EQ(platform::clipboard::text(), "last");
  form->cmdDelete_Click();
  EXPECT_EQ(rows().count(), 39999);
  EXPECT_EQ(status(), "Entry deleted successfully, data saved.");
}

TEST_F(Commands, visitHelpAndAboutOpenTheirWindowsWhenThereAreAny) {
  open(kThree);
  const QString before = status();
  form->cmdWebsite_Click(0);  // none of them registered: nothing happens, nothing is said
  form->mnuHelpItem_Click(0);
  form->mnuAboutItem_Click(0);
  EXPECT_EQ(status(), before);
  EXPECT_TRUE(boxes.empty());

  const QStringList names = {QStringLiteral("frmWebsite"), QStringLiteral("Form8"), QStringLiteral("frmAbout")};
  for (const QString& n : names) platform::forms::registerForm(n, [n] { return new platform::Form(n); });
  form->cmdWebsite_Click(0);
  form->mnuHelpItem_Click(0);
  form->mnuAboutItem_Click(0);
  for (const QString& n : names) {
    EXPECT_TRUE(platform::forms::isLoaded(n)) << n.toStdString();
    platform::forms::registerForm(n, {});
  }
}

TEST_F(Commands, exitUnloadsTheMainWindow) {
  open(kThree);
  form->mnuFileItem_Click(1);
  EXPECT_TRUE(platform::forms::isLoaded(Form1::name()));
  form->mnuFileItem_Click(0);
  EXPECT_FALSE(platform::forms::isLoaded(Form1::name()));
  EXPECT_EQ(programEnds, 1);
}

}  // namespace
}  // namespace entries_test
