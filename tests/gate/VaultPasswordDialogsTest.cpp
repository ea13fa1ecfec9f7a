// Protects the encrypted vault as the user meets it: the File menu's dialogs, the gate of an
// encrypted vault, and that every way out leaves a vault that opens with the right password.
#include "support/ProgramHarness.h"

#include "gate/frmChangePassword.h"
#include "gate/frmEncrypt.h"
#include "platform/base/Files.h"
#include "platform/base/Secret.h"
#include "skin/SkinLabel.h"
#include "support/KdfCostsForTests.h"
#include "vault/SealedVault.h"

#include <QMenu>

#include <cerrno>
#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

using namespace program_test;

namespace {

const std::vector<testing_support::Entry> kEntries = {{"alice", "a1", "a.example"}, {"bob", "b|2", "b.example"}};

class VaultDialogs : public ProgramTest {
 protected:
  void TearDown() override {
    platform::files::clearCallFaultsForTests();
    ProgramTest::TearDown();
  }

  // Starts over the folder's vault and types the password at the gate.
  void startWith(const QString& password) {
    restart();
    modLivery::loadProductIdentity();
    forms::load<Form1>();
    if (gate()) enter(password);  // a file that can't be opened ends the start before the gate
  }
  // Opens a File menu dialog, types into its boxes in order and presses its action button.
  void use(const QString& dialog, const QStringList& typed) {
    auto* d = static_cast<PasswordDialog*>(forms::show(dialog));
    for (qsizetype i = 0; i < typed.size(); ++i) d->boxes[i]->setText(typed[i]);
    d->cmdAction->click();
  }
  std::vector<testing_support::Entry> listed() {
    std::vector<testing_support::Entry> rows;
    const auto& items = mainWindow()->lstPass->items();
    for (std::int64_t n = 1; n <= items.count(); ++n)
      rows.push_back({std::string(items.row(n).text()), std::string(items.row(n).subItem(1)),
                      std::string(items.row(n).subItem(2))});
    return rows;
  }
};

}  // namespace

// Encrypt, restart through a wrong then the right password, change the password, restart,
// remove: the plain file at the end is byte for byte the one at the start.
TEST_F(VaultDialogs, aRoundTripThroughEncryptionGivesBackTheSameBytes) {
  const std::string plain = vaultImage("abcd", kEntries);
  writeVault(plain);
  startWith(QStringLiteral("abcd"));
  mainWindow()->mnuFile->aboutToShow();
  EXPECT_EQ(mainWindow()->mnuEncrypt->text(), "Encrypt Vault...");

  answers = {mb::vbOK, mb::vbYes};
  use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].title, "Confirm Encryption");
  EXPECT_EQ(status(), "Vault encrypted.  Data saved.");
  // The password is still readable in the plain copies: Yes to a new one opens its dialog.
  EXPECT_EQ(boxes[1].title, "Master Password Still Readable");
  EXPECT_EQ(boxes[1].text,
            "Your master password is still readable in every earlier, unencrypted copy of data.enc "
            "(backups, synced folders).  Choose a new one now?");
  EXPECT_TRUE(forms::isLoaded(QStringLiteral("frmChangePassword")));
  EXPECT_TRUE(vault::sealed::isSealed(vaultOnDisk()));
  EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmEncrypt")));
  mainWindow()->mnuFile->aboutToShow();
  EXPECT_EQ(mainWindow()->mnuEncrypt->text(), "Remove Encryption...");

  answers = {mb::vbRetry};
  startWith(QStringLiteral("wrong"));
  EXPECT_EQ(boxes.back().title, "Incorrect Password");
  enter(QStringLiteral("abcd"));
  EXPECT_EQ(listed(), kEntries);

  use(QStringLiteral("frmChangePassword"), {QStringLiteral("abcd"), QStringLiteral("efgh"), QStringLiteral("efgh")});
  EXPECT_EQ(status(), "Master password changed.  Data saved.");
  startWith(QStringLiteral("efgh"));
  ASSERT_EQ(listed(), kEntries);
  use(QStringLiteral("frmChangePassword"), {QStringLiteral("efgh"), QStringLiteral("abcd"), QStringLiteral("abcd")});
  use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
  EXPECT_EQ(status(), "Encryption removed.  Data saved.");
  EXPECT_EQ(vaultOnDisk(), plain);
  EXPECT_EQ(programEnds, 0);
}

// A wrong current password, a declined confirmation or a failed save write nothing, keep the
// dialog open and leave the old password working.
TEST_F(VaultDialogs, nothingIsWrittenUntilASaveSucceeds) {
  const std::string plain = vaultImage("abcd", kEntries);
  writeVault(plain);
  startWith(QStringLiteral("abcd"));
  const struct Case {
    const char* dialog;
    QStringList typed;
    int confirm;  // the answer to the confirmation, where one is asked
    bool diskFull;
    const char* said;  // the last box's title, or the status
  } cases[] = {
      {"frmEncrypt", {"nope"}, mb::vbOK, false, "Incorrect Password"},
      {"frmEncrypt", {"abcd"}, mb::vbCancel, false, "Confirm Encryption"},
      {"frmEncrypt", {"abcd"}, mb::vbOK, true, "Could not save data.enc: No space left on device"},
      {"frmChangePassword", {"nope", "efgh", "efgh"}, mb::vbOK, false, "Incorrect Password"},
      {"frmChangePassword", {"abcd", "efg", "efg"}, mb::vbOK, false, "Keyloft Demo"},
      {"frmChangePassword", {"abcd", "efgh", "efgX"}, mb::vbOK, false, "Keyloft Demo"},
      {"frmChangePassword",
       {"abcd", "efgh", "efgh"},
       mb::vbOK,
       true,
       "Could not save data.enc: No space left on device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialog + (" " + c.typed.join(u',').toStdString()));
    boxes.clear();
    answers = {c.confirm};
    if (c.diskFull) platform::files::setCallFaultsForTests({{platform::files::Call::Write, 0, ENOSPC}});
    use(QString::fromLatin1(c.dialog), c.typed);
    platform::files::clearCallFaultsForTests();
    EXPECT_EQ(c.diskFull ? status() : boxes.back().title, QString::fromLatin1(c.said));
    EXPECT_TRUE(forms::isLoaded(QString::fromLatin1(c.dialog)));
    EXPECT_EQ(vaultOnDisk(), plain);
    EXPECT_FALSE(modGlobals::vaultSealed());
    EXPECT_EQ(modGlobals::masterPassword, u"abcd");
    forms::unload(QString::fromLatin1(c.dialog));
  }
}

// What can be told wrong with an encrypted file ends the start with a message naming data.enc.
TEST_F(VaultDialogs, aDamagedEncryptedVaultEndsTheStartAndStaysAsItWas) {
  writeVault(vaultImage("abcd", kEntries));
  startWith(QStringLiteral("abcd"));
  use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
  const std::string sealed = vaultOnDisk();
  for (std::size_t at : {std::size_t{20}, sealed.size() - 1}) {  // the header's parameters; the content
    std::string damaged = sealed;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
    writeVault(damaged);
    const int before = programEnds;
    boxes.clear();
    startWith(QStringLiteral("abcd"));
    EXPECT_EQ(programEnds, before + 1) << at;
    ASSERT_FALSE(boxes.empty());
    EXPECT_TRUE(boxes.back().text.startsWith(QStringLiteral("Could not open ") + QString::fromStdString(vaultFile())))
        << boxes.back().text.toStdString();
    EXPECT_EQ(vaultOnDisk(), damaged);
  }
}

// A second Ok while the key is derived (window events run meanwhile) is ignored: the vault is
// opened and listed once.
TEST_F(VaultDialogs, aSecondOkWhileTheKeyIsDerivedIsIgnored) {
  // Long enough for events to run during it.
  vault::sealed::setKdfCostsForTests({2, 64 << 20}, vault::sealed::kCheapKdfForTests);
  writeVault(vaultImage("abcd", kEntries));
  startWith(QStringLiteral("abcd"));
  use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
  restart();
  modLivery::loadProductIdentity();
  forms::load<Form1>();
  gate()->txtPass->setText(QStringLiteral("abcd"));
  QMetaObject::invokeMethod(gate()->cmdOK, &QPushButton::click, Qt::QueuedConnection);
  gate()->cmdOK->click();
  pump(100);
  EXPECT_EQ(listed(), kEntries);
  EXPECT_EQ(status(), "Loaded 2 entries");
  EXPECT_EQ(programEnds, 0);
}

namespace {

// A sealed header's key costs and salt, read as a test of the file's bytes.
struct HeaderCosts {
  std::uint64_t ops = 0, mem = 0;
  std::string salt;
  bool operator==(const HeaderCosts&) const = default;
};
HeaderCosts costsOf(const std::string& file) {
  auto little = [&](std::size_t at, std::size_t width) {
    std::uint64_t v = 0;
    for (std::size_t i = width; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(file[at + i]);
    return v;
  };
  return {little(10, 4), little(14, 8), file.substr(22, 16)};
}

}  // namespace

// Argon2id without its memory says so: in the dialogs, and at the gate, where it is no wrong try.
TEST_F(VaultDialogs, aKeyThatCannotBeDerivedIsSaidAndChangesNothing) {
  writeVault(vaultImage("abcd", kEntries));
  startWith(QStringLiteral("abcd"));
  vault::sealed::failKeyDerivationsForTests(true);
  use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
  EXPECT_EQ(status(), "Could not encrypt data.enc: Not enough memory for the key derivation (8 MiB).");
  EXPECT_TRUE(forms::isLoaded(QStringLiteral("frmEncrypt")));
  EXPECT_EQ(vaultOnDisk(), vaultImage("abcd", kEntries));
  forms::unload(QStringLiteral("frmEncrypt"));

  vault::sealed::failKeyDerivationsForTests(false);
  use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
  const std::string sealed = vaultOnDisk();
  vault::sealed::failKeyDerivationsForTests(true);
  use(QStringLiteral("frmChangePassword"), {QStringLiteral("abcd"), QStringLiteral("efgh"), QStringLiteral("efgh")});
  EXPECT_EQ(status(),
            "Could not change the master password of data.enc: Not enough memory for the key derivation (8 MiB).");
  EXPECT_EQ(modGlobals::masterPassword, u"abcd");
  EXPECT_EQ(vaultOnDisk(), sealed);

  boxes.clear();
  startWith(QStringLiteral("abcd"));
  for (int more = 0; more < 3; ++more) enter(QStringLiteral("abcd"));  // no try is used up
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes.back().text, QStringLiteral("Could not open ") + QString::fromStdString(vaultFile()) +
                                   QStringLiteral(": Not enough memory for the key derivation (8 MiB)."));
  EXPECT_NE(gate(), nullptr);
  vault::sealed::failKeyDerivationsForTests(false);
  enter(QStringLiteral("abcd"));
  EXPECT_EQ(listed(), kEntries);
  EXPECT_EQ(programEnds, 0);
}

// A vault whose key is cheaper to guess than this machine allows is encrypted again once it is
// open, with this machine's costs and a new salt, and opens with the same password after.
TEST_F(VaultDialogs, aVaultWithCheapKeyCostsIsStrengthenedOnceOpen) {
  writeVault(vaultImage("abcd", kEntries));
  startWith(QStringLiteral("abcd"));
  use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
  const HeaderCosts cheap = costsOf(vaultOnDisk());
  ASSERT_EQ(cheap.mem, 8u << 20);
  vault::sealed::setKdfCostsForTests({2, 16 << 20}, {2, 16 << 20});

  startWith(QStringLiteral("abcd"));
  EXPECT_EQ(status(), "Vault encryption strengthened.  Data saved.");
  const HeaderCosts strong = costsOf(vaultOnDisk());
  EXPECT_EQ(strong.ops, 2u);
  EXPECT_EQ(strong.mem, 16u << 20);
  EXPECT_NE(strong.salt, cheap.salt);
  startWith(QStringLiteral("abcd"));
  EXPECT_EQ(status(), "Loaded 2 entries");
  EXPECT_EQ(listed(), kEntries);
  use(QStringLiteral("frmChangePassword"), {QStringLiteral("abcd"), QStringLiteral("efgh"), QStringLiteral("efgh")});
  EXPECT_EQ(costsOf(vaultOnDisk()).mem, 16u << 20);
}

// An ordinary save after the password was changed seals with the new key: the next start takes
// the new password and refuses the old one.
TEST_F(VaultDialogs, aSaveAfterAPasswordChangeSealsWithTheNewKey) {
  writeVault(vaultImage("abcd", kEntries));
  startWith(QStringLiteral("abcd"));
  use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
  use(QStringLiteral("frmChangePassword"), {QStringLiteral("abcd"), QStringLiteral("efgh"), QStringLiteral("efgh")});
  mainWindow()->lstPass->selectRow(1);
  mainWindow()->cmdDelete_Click();  // confirmed with Ok
  ASSERT_EQ(listed().size(), 1u);

  answers = {mb::vbCancel};
  startWith(QStringLiteral("abcd"));
  EXPECT_EQ(boxes.back().title, "Incorrect Password");
  EXPECT_EQ(programEnds, 1);
  startWith(QStringLiteral("efgh"));
  EXPECT_EQ(listed(), std::vector<testing_support::Entry>{kEntries[1]});
}

// Four characters is the shortest new master password, at the first start and when changing it.
TEST_F(VaultDialogs, aNewMasterPasswordNeedsFourCharactersEverywhere) {
  const QString tooShort = QStringLiteral("You must enter a password that is at least 4 characters long");
  for (const char* typed : {"abc", "abcd"}) {
    const QString password = QString::fromLatin1(typed);
    const bool taken = password.size() == 4;
    SCOPED_TRACE(typed);
    boxes.clear();
    writeVault("\r\n");
    restart();
    modLivery::loadProductIdentity();
    forms::load<Form1>();
    enter(password, password);
    EXPECT_EQ(boxes.empty() ? QString() : boxes.back().text, taken ? QString() : tooShort);
    EXPECT_EQ(vaultOnDisk(), taken ? vaultImage(typed, {}).substr(0, 6) : "\r\n");

    writeVault(vaultImage("wxyz", {}));
    startWith(QStringLiteral("wxyz"));
    boxes.clear();
    use(QStringLiteral("frmChangePassword"), {QStringLiteral("wxyz"), password, password});
    EXPECT_EQ(boxes.empty() ? QString() : boxes.back().text, taken ? QString() : tooShort);
    EXPECT_EQ(modGlobals::masterPassword, taken ? platform::viewOf(password) : u"wxyz");
  }
}

namespace {
std::size_t g_unwiped = 0;
void countUnwiped(const void* bytes, std::size_t size) {
  const auto* b = static_cast<const unsigned char*>(bytes);
  for (std::size_t i = 0; i < size; ++i)
    if (b[i] != 0) {
      ++g_unwiped;
      return;
    }
}
}  // namespace

// At the real end every buffer that held the master password, a key's password bytes, the
// vault's plain bytes or a copied field has been handed back, and each was all zeros when it was. Checked in a
// child that ends as the program does.
TEST_F(VaultDialogs, atTheEndEveryCopyOfTheSecretsIsWiped) {
  platform::secret::setReleaseObserverForTests(countUnwiped);
  writeVault(vaultImage("abcd", kEntries));
  startWith(QStringLiteral("abcd"));
  use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
  use(QStringLiteral("frmChangePassword"), {QStringLiteral("abcd"), QStringLiteral("efgh"), QStringLiteral("efgh")});
  startWith(QStringLiteral("efgh"));
  ASSERT_EQ(listed(), kEntries);
  mainWindow()->lstPass->selectRow(1);
  mainWindow()->cmdCopy_Click(1);  // the clipboard's remembered copy is a secret too
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    atProgramEnd([] { ::_exit(platform::secret::liveBuffersForTests() != 0 ? 2 : g_unwiped != 0 ? 3 : 0); });
    setProgramTerminatorForTests({});
    endProgram();
    ::_exit(4);
  }
  platform::secret::setReleaseObserverForTests(nullptr);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "2: a secret's buffer was never handed back, 3: one was not wiped";
  EXPECT_EQ(g_unwiped, 0u);
}

// An encrypted vault found missing, empty or without its master password (reached through a link
// the time it was encrypted) is not quietly made plain: No ends with nothing written, Yes creates
// it encrypted. After Remove Encryption nothing is asked.
TEST_F(VaultDialogs, aVaultThatWasEncryptedAndIsFoundEmptyIsOnlyCreatedAgainEncrypted) {
  const std::string real = folder.file("real"), file = real + "/data.enc";
  std::filesystem::create_directory(real);
  std::filesystem::create_directory_symlink(real, folder.file("link"));
  const struct {
    const char* found;
    int answer;
    bool removed;
  } cases[] = {// found nullptr: missing
               {nullptr, mb::vbNo, false},
               {nullptr, mb::vbYes, false},
               {"", mb::vbNo, false},
               {"\r\n", mb::vbYes, false},
               {"", mb::vbYes, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.found ? c.found : "missing") << ", answer " << c.answer << c.removed);
    platform::files::setProgramFolderForTests(folder.file("link"));
    testing_support::writeBytes(file, vaultImage("abcd", kEntries));
    startWith(QStringLiteral("abcd"));
    for (int i = 0; i <= int{c.removed}; ++i) use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
    std::filesystem::remove(file);
    if (c.found) testing_support::writeBytes(file, c.found);
    platform::files::setProgramFolderForTests(real);
    answers = {c.answer};
    boxes.clear();
    const int ends = programEnds;
    restart();
    forms::load<Form1>();
    ASSERT_EQ(boxes.size(), c.removed ? 0u : 1u);
    if (c.removed) continue;
    EXPECT_EQ(boxes[0].title, "Vault Was Encrypted");
    EXPECT_EQ(boxes[0].text,
              "data.enc was encrypted when Keyloft last used it, and now it is empty or missing.  "
              "Create a new, empty vault?");
    if (c.answer == mb::vbNo) {
      EXPECT_TRUE(programEnds == ends + 1 && gate() == nullptr);
      EXPECT_EQ(std::filesystem::exists(file) ? testing_support::readBytes(file) : "-", c.found ? c.found : "-");
      continue;
    }
    enter(QStringLiteral("efgh"), QStringLiteral("efgh"));
    const std::string created = testing_support::readBytes(file);
    EXPECT_TRUE(vault::sealed::isSealed(created));
    EXPECT_EQ(created.find(testing_support::flip("efgh")), created.find("efgh"));  // neither is there
    startWith(QStringLiteral("efgh"));
    EXPECT_EQ(status(), "Loaded 0 entries");
  }
}

// The Remove Encryption dialog says in full, above its password box, what removing gives away.
TEST_F(VaultDialogs, theRemoveDialogWarnsThatEverythingBecomesReadable) {
  writeVault(vaultImage("abcd", kEntries));
  startWith(QStringLiteral("abcd"));
  use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
  auto* dialog = static_cast<PasswordDialog*>(forms::show(QStringLiteral("frmEncrypt")));
  const QString warning = QStringLiteral(
      "Without encryption the master password and every entry will be readable by anyone who has the file.");
  const QList<SkinLabel*> labels = dialog->findChildren<SkinLabel*>();
  auto note = std::find_if(labels.begin(), labels.end(), [&](SkinLabel* l) { return l->accessibleName() == warning; });
  ASSERT_NE(note, labels.end());
  EXPECT_LE((*note)->heightForWidth((*note)->width()), (*note)->height());
  EXPECT_LT((*note)->geometry().bottom(), dialog->boxes[0]->geometry().top());
  EXPECT_TRUE(dialog->client()->rect().contains(dialog->cmdCancel->geometry()));
}

namespace {
// The gate's steps into the main window once a password is accepted, with whether the dialog
// was still loaded at each status.
struct StepsHost final : modGlobals::VaultHost {
  platform::ListItems* list() override { return &forms::instance<Form1>()->lstPass->items(); }
  void showStatusMessage(const std::u16string& text) override {
    steps.push_back((forms::isLoaded(frmPass::name()) ? "dialog up: " : "") +
                    QString::fromStdU16String(text).toStdString());
  }
  // As the main window's step does, it unloads the dialog.
  void afterFormLoad() override {
    steps.emplace_back("afterFormLoad");
    forms::unload(frmPass::name());
  }
  std::vector<std::string> steps;
};
}  // namespace

// The dialog is gone before a new vault is written; the main window's step follows the status,
// and a weak encrypted vault is strengthened only after it.
TEST_F(VaultDialogs, theGateOpensTheMainWindowAfterTheVaultIsListed) {
  const auto stepsOfStart = [this](const QString& typed) {
    restart();
    modLivery::loadProductIdentity();
    forms::load<Form1>();
    StepsHost host;
    modGlobals::setVaultHost(&host);
    enter(typed, typed);
    modGlobals::setVaultHost(nullptr);
    return host.steps;
  };
  writeVault("\r\n");
  EXPECT_EQ(stepsOfStart(QStringLiteral("wxyz")),
            (std::vector<std::string>{"Password created successfully", "afterFormLoad"}));

  writeVault(vaultImage("abcd", kEntries));
  startWith(QStringLiteral("abcd"));
  use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
  vault::sealed::setKdfCostsForTests({2, 16 << 20}, {2, 16 << 20});
  EXPECT_EQ(stepsOfStart(QStringLiteral("abcd")),
            (std::vector<std::string>{"dialog up: Loaded 2 entries", "afterFormLoad",
                                      "Vault encryption strengthened.  Data saved."}));
}

// The strength of the password that will guard the vault is shown under its box while it is typed,
// and the rows below make room for it; removing the encryption has no such line.
TEST_F(VaultDialogs, theNewPasswordsStrengthIsShownWhileItIsTyped) {
  writeVault(vaultImage("abcd", kEntries));
  startWith(QStringLiteral("abcd"));
  auto* change = forms::show<frmChangePassword>();
  auto* encrypt = forms::show<frmEncrypt>();
  for (auto [dialog, box, line] :
       {std::tuple<PasswordDialog*, QLineEdit*, SkinLabel*>{change, change->boxes[1], change->lblStrength},
        {encrypt, encrypt->boxes[0], encrypt->lblStrength}}) {
    ASSERT_NE(line, nullptr);
    box->setText(QStringLiteral("password"));
    EXPECT_TRUE(line->text().startsWith(QStringLiteral("Strength: Very weak ("))) << line->text().toStdString();
    box->setText(QStringLiteral("q7#Vd!m2Zr9@xLp4&Kw8"));
    EXPECT_FALSE(line->text().contains(QStringLiteral("weak"))) << line->text().toStdString();
    EXPECT_GE(line->geometry().top(), box->geometry().bottom());
    EXPECT_GT(dialog->cmdAction->geometry().top(), line->geometry().bottom());
    EXPECT_GT(dialog->boxes.back()->geometry().top(), dialog == change ? line->geometry().bottom() : -1);
  }
  forms::unload<frmEncrypt>();
  use(QStringLiteral("frmEncrypt"), {QStringLiteral("abcd")});
  EXPECT_EQ(forms::show<frmEncrypt>()->lblStrength, nullptr);
}
