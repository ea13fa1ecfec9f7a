// Protects the entry editor: validation order, texts that would not survive the vault, that Save
// writes only into the entry the editor was opened for, and that a failed save keeps everything.
#include "EntriesFixture.h"

#include "platform/forms/Controls.h"
#include "platform/forms/Twips.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

#include <filesystem>

namespace entries_test {
namespace {

using Editor = EntriesFixture;
const QString kSaved = QStringLiteral("Added new entry.  Data saved.");

const std::vector<Entry> kTwo = {{"alice", "a1", "a.example"}, {"bob", "b1", "b.example"}};

void pressEnter(QWidget* box) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QCoreApplication::sendEvent(box, &press);
}

TEST_F(Editor, layoutAndNamesForAssistiveTechnology) {
  open({});
  form->cmdAdd_Click(0);
  frmAdd* e = editor();
  EXPECT_EQ(e->clientWidthTwips(), 4680);
  EXPECT_EQ(e->clientHeightTwips(), 2610);
  EXPECT_NEAR(platform::twips::top(e->txtWebsite), 900, 15);
  EXPECT_NEAR(platform::twips::left(e->cmdDelete), 3420, 15);
  const std::pair<QWidget*, QString> names[] = {{e->txtUsername, "Username:"},
                                                {e->txtPassword, "Password:"},
                                                {e->txtWebsite, "Website:"},
                                                {e->cmdAdd[0], "Save"},
                                                {e->cmdDelete, "Cancel"}};
  for (const auto& [control, name] : names) EXPECT_EQ(control->accessibleName(), name);
  EXPECT_EQ(platform::controlTypeName(e->cmdDelete), "CommandButton");
  e->cmdDelete->click();  // the real control cancels too
  EXPECT_EQ(editor(), nullptr);
}

TEST_F(Editor, addAppendsSavesAndCloses) {
  open(kTwo);
  form->cmdAdd_Click(0);
  typeAndSave(QStringLiteral(" "), QStringLiteral("p\u00E9"), QString());
  std::vector<Entry> expected = kTwo;
  expected.push_back({" ", "p\xE9", ""});
  EXPECT_EQ(allEntries(), expected);
  EXPECT_EQ(fileBytes(), vaultImage(kMaster, expected));
  EXPECT_EQ(status(), kSaved);
  EXPECT_EQ(editor(), nullptr);
}

// A field too long for the line boxes would freeze the editor; the entry stays whole and usable.
TEST_F(Editor, editRefusesAFieldOverTheLimitAndKeepsTheEntry) {
  const std::string longest(kMaxEditableField, 'p');
  const std::vector<Entry> entries = {{"u", longest, "l"}, {"u", longest + "p", "l"}};
  open(entries);
  const std::string before = fileBytes();
  select(2);
  form->cmdEdit_Click();
  EXPECT_EQ(editor(), nullptr);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            QStringLiteral("This entry is too large to edit: its password has 100001 characters, and "
                           "the editor opens at most 100000.  You can still copy its fields and delete it."));
  EXPECT_EQ(allEntries(), entries);
  EXPECT_EQ(fileBytes(), before);

  select(1);  // at the limit it opens with every character
  form->cmdEdit_Click();
  ASSERT_NE(editor(), nullptr);
  EXPECT_EQ(editor()->txtPassword->text().size(), static_cast<qsizetype>(longest.size()));
}

TEST_F(Editor, validationUsernameFirstThenPasswordThenWhatTheVaultCantKeep) {
  open(kTwo);
  const std::string before = fileBytes();
  form->cmdAdd_Click(0);
  typeAndSave({}, {}, {});
  typeAndSave(QStringLiteral("u"), {}, {});
  typeAndSave(QStringLiteral("u|"), QStringLiteral("p"), {});
  typeAndSave(QStringLiteral("u"), QStringLiteral("a|||b"), {});
  typeAndSave(QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("\u03A9.example"));
  typeAndSave(QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("end\u008D"));  // shifts to a CR

  ASSERT_EQ(boxes.size(), 6u);
  EXPECT_EQ(boxes[0].text, "You must enter a username");
  EXPECT_EQ(boxes[1].text, "You must enter a password");
  const char* fields[] = {"username", "password", "website", "website"};
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(boxes[2 + i].text.startsWith(QStringLiteral("The ") + QLatin1String(fields[i])))
        << boxes[2 + i].text.toStdString();
  for (const auto& box : boxes) {
    EXPECT_EQ(box.title, "Error");
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
  }
  EXPECT_EQ(allEntries(), kTwo);
  EXPECT_EQ(fileBytes(), before);
  EXPECT_NE(editor(), nullptr);
}

TEST_F(Editor, textsAtTheFormatsEdgesReadBackAsTyped) {
  open({});
  form->cmdAdd_Click(0);
  // A leading bar in the password, a trailing one in the last field, and Š (whose shift is LF).
  typeAndSave(QStringLiteral("\u0160ki"), QStringLiteral("|p"), QStringLiteral("loc|"));
  ASSERT_TRUE(boxes.empty());
  reopen();
  EXPECT_EQ(allEntries(), (std::vector<Entry>{{"\x8Aki", "|p", "loc|"}}));
}

TEST_F(Editor, editShowsTheRowAndOverwritesItCancelAndCloseSaveNothing) {
  open(kTwo);
  select(2);
  form->cmdEdit_Click();
  EXPECT_EQ(editor()->caption(), "Edit an entry");
  EXPECT_EQ(editor()->txtPassword->text(), "b1");
  EXPECT_EQ(editor()->txtPassword->echoMode(), QLineEdit::Normal);
  editor()->txtWebsite->setText(QStringLiteral("changed"));
  editor()->cmdDelete_Click();
  EXPECT_EQ(editor(), nullptr);
  EXPECT_EQ(allEntries(), kTwo);

  form->cmdEdit_Click();
  editor()->txtWebsite->setText(QStringLiteral("changed"));
  editor()->close();
  EXPECT_EQ(editor(), nullptr);
  EXPECT_EQ(allEntries(), kTwo);
  EXPECT_EQ(status(), "Loaded 2 entries");

  form->cmdEdit_Click();
  editor()->txtWebsite->setText(QStringLiteral("changed"));
  pressEnter(editor()->txtUsername);  // Enter saves only from the location box
  EXPECT_NE(editor(), nullptr);
  pressEnter(editor()->txtWebsite);
  EXPECT_EQ(editor(), nullptr);
  EXPECT_EQ(entry(2), (Entry{"bob", "b1", "changed"}));
  EXPECT_EQ(fileBytes(), vaultImage(kMaster, {kTwo[0], {"bob", "b1", "changed"}}));
  EXPECT_EQ(status(), kSaved);

  form->cmdAdd_Click(0);  // after an edit, Add starts empty
  EXPECT_EQ(editor()->caption(), "Add an entry");
  EXPECT_EQ(editor()->txtUsername->text(), QString());
}

// A text box's default limit would cut a long field short, and Save would store the cut text.
TEST_F(Editor, editKeepsFieldsLongerThanATextBoxsDefaultLimit) {
  const Entry longEntry = {"u", std::string(40000, 'p'), std::string(70000, 'l')};
  open({longEntry});
  select(1);
  form->cmdEdit_Click();
  editor()->cmdAdd_Click(0);
  EXPECT_EQ(entry(1), longEntry);
  EXPECT_EQ(fileBytes(), vaultImage(kMaster, {longEntry}));
}

// The editor doesn't block the main window: the list and the hand-over state change under it.
TEST_F(Editor, staleSortMovesTheRowSaveStillWritesIntoItsEntry) {
  open({{"b", "1", ""}, {"a", "2", ""}, {"c", "3", ""}});
  select(1);
  form->cmdEdit_Click();         // row 1: "b"
  form->lstPass_ColumnClick(1);  // descending: c, b, a
  editor()->txtPassword->setText(QStringLiteral("new"));
  editor()->cmdAdd_Click(0);
  EXPECT_EQ(allEntries(), (std::vector<Entry>{{"c", "3", ""}, {"b", "new", ""}, {"a", "2", ""}}));
}

TEST_F(Editor, staleAnotherEditWhileOpenDoesNotRedirectTheSave) {
  open(kTwo);
  select(1);
  form->cmdEdit_Click();
  editor()->txtPassword->setText(QStringLiteral("A2"));
  select(2);
  form->cmdEdit_Click();  // only brings the open editor to the front
  EXPECT_EQ(editor()->txtPassword->text(), "A2");
  editor()->cmdAdd_Click(0);
  EXPECT_EQ(allEntries(), (std::vector<Entry>{{"alice", "A2", "a.example"}, kTwo[1]}));

  form->cmdAdd_Click(0);  // an Add editor stays an Add editor when Edit is clicked meanwhile
  form->cmdEdit_Click();
  typeAndSave(QStringLiteral("carol"), QStringLiteral("c1"), {});
  EXPECT_EQ(rows().count(), 3);
  EXPECT_EQ(entry(2), kTwo[1]);
  EXPECT_EQ(entry(3), (Entry{"carol", "c1", ""}));
}

TEST_F(Editor, staleEntryDeletedMeanwhileIsAddedAsNew) {
  open(kTwo);
  select(1);
  form->cmdEdit_Click();
  form->cmdDelete_Click();
  typeAndSave(QStringLiteral("alice"), QStringLiteral("kept"), QStringLiteral("a.example"));
  EXPECT_EQ(allEntries(), (std::vector<Entry>{kTwo[1], {"alice", "kept", "a.example"}}));
  EXPECT_EQ(status(), "The entry was deleted meanwhile; added as a new entry.  Data saved.");
  EXPECT_EQ(fileBytes(), vaultImage(kMaster, allEntries()));
}

TEST_F(Editor, failedSaveKeepsTheEditorOpenAndTheListAsTheFile) {
  open(kTwo);
  const std::string before = fileBytes();
  platform::files::setCallFaultsForTests({{platform::files::Call::Rename, 0, EACCES}});
  form->cmdAdd_Click(0);
  typeAndSave(QStringLiteral("new"), QStringLiteral("n"), {});
  EXPECT_EQ(allEntries(), kTwo);
  ASSERT_NE(editor(), nullptr);
  EXPECT_EQ(editor()->txtUsername->text(), "new");
  EXPECT_TRUE(status().startsWith(QStringLiteral("Could not save"))) << status().toStdString();
  platform::forms::unload(frmAdd::name());

  select(2);
  form->cmdEdit_Click();
  typeAndSave(QStringLiteral("bob"), QStringLiteral("changed"), {});
  EXPECT_EQ(allEntries(), kTwo);
  EXPECT_EQ(editor()->txtPassword->text(), "changed");
  EXPECT_EQ(fileBytes(), before);

  platform::files::clearCallFaultsForTests();  // the retry saves what was typed
  editor()->cmdAdd_Click(0);
  EXPECT_EQ(entry(2), (Entry{"bob", "changed", ""}));
  EXPECT_EQ(status(), kSaved);
}

// Another machine's save lands while the editor is open: the watch lists the file again in the
// list's sort order with the same entry selected, the editor keeps what was typed, and its Save
// finds the entry by its texts among the new rows.
TEST_F(Editor, aVaultChangedOnDiskIsFollowedAndTheOpenEditorKeepsItsText) {
  open(kTwo);
  form->lstPass_ColumnClick(1);  // descending by user name: bob, alice
  select(2);
  form->cmdEdit_Click();
  editor()->txtPassword->setText(QStringLiteral("typed"));
  modGlobals::watchVaultFile();
  const Entry aaron{"aaron", "a0", ""}, dan{"dan", "d1", ""};
  testing_support::writeBytes(vaultFile() + ".incoming", vaultImage(kMaster, {dan, kTwo[1], kTwo[0], aaron}));
  std::filesystem::rename(vaultFile() + ".incoming", vaultFile());
  ASSERT_TRUE(testing_support::waitFor(
      [&] { return status() == QStringLiteral("data.enc changed on disk.  Loaded 4 entries."); }));
  EXPECT_EQ(allEntries(), (std::vector<Entry>{dan, kTwo[1], kTwo[0], aaron}));
  EXPECT_EQ(form->lstPass->selectionModel()->selectedRows().value(0).row(), 2);
  EXPECT_EQ(editor()->txtPassword->text(), "typed");
  editor()->cmdAdd_Click(0);
  EXPECT_EQ(status(), kSaved);
  EXPECT_EQ(fileBytes(), vaultImage(kMaster, {dan, kTwo[1], {"alice", "typed", "a.example"}, aaron}));
}

}  // namespace
}  // namespace entries_test
