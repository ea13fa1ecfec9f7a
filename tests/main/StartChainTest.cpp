// Protects the start from end to end: splash, hand-off, the gate holding the main window back,
// first and later use with real vault bytes, and every way the start can end the program.
#include "support/ProgramHarness.h"

#include "platform/forms/Timer.h"
#include "platform/forms/Twips.h"
#include "skin/modSkin.h"
#include "skin/Skin.h"

#include <QKeyEvent>
#include <QLabel>

#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace program_test;

namespace {

class StartChain : public ProgramTest {};

// A browser window stand-in: the main window's unload only asks whether it is there and visible.
class FakeBrowser final : public platform::Form {
 public:
  FakeBrowser() : Form(QStringLiteral("frmWebsite")) {}
  void Form_Unload() override { ++unloads; }
  static inline int unloads = 0;
};

}  // namespace

// The splash

TEST_F(StartChain, splashIsFramelessAtItsPictureSizeAndStartsCounting) {
  // Loaded only, so that no real tick can come between the load and the checks.
  frmSplash* splash = forms::load<frmSplash>();
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(splash->Image1->pixmap().size(), QSize(476, 316));
  EXPECT_EQ(splash->Image1->size(), QSize(476, 316));
  EXPECT_EQ(splash->size(), QSize(476, 316));
  EXPECT_EQ(splash->intTemp, 0);
  EXPECT_TRUE(splash->Timer2->enabled());
  EXPECT_EQ(splash->Timer2->interval(), 2);
  EXPECT_EQ(modLivery::productName, QStringLiteral("Keyloft"));
  EXPECT_EQ(modSkin::skin.data(), splash->skn);
  forms::show<frmSplash>();
  EXPECT_TRUE(splash->isVisible());
  EXPECT_EQ(splash->frameGeometry().size(), QSize(476, 316));
}

TEST_F(StartChain, handOffHappensOnceOnTheTickThatMakes150) {
  frmSplash* splash = forms::load<frmSplash>();
  for (int tick = 1; tick < 75; ++tick) {
    splash->Timer2_Timer();
    ASSERT_EQ(splash->intTemp, 2 * tick);
    ASSERT_FALSE(forms::isLoaded(Form1::name())) << "tick " << tick;
  }
  splash->Timer2_Timer();
  EXPECT_EQ(splash->intTemp, 150);
  EXPECT_FALSE(splash->Timer2->enabled());
  EXPECT_TRUE(forms::isLoaded(Form1::name()));
  ASSERT_NE(gate(), nullptr);
  EXPECT_TRUE(gate()->isVisible());
  // Hidden, not unloaded: it carries the skin of the run.
  EXPECT_EQ(forms::instance<frmSplash>(), splash);
  EXPECT_FALSE(splash->isVisible());

  Form1* first = mainWindow();
  pump(100);
  EXPECT_EQ(splash->intTemp, 150);
  EXPECT_EQ(mainWindow(), first);
}

TEST_F(StartChain, gateKeepsTheLoadedMainWindowHidden) {
  writeVault(vaultImage("abcd", {}));
  startToGate();
  ASSERT_TRUE(waitFor([&] { return !mainWindow()->isVisible(); }));
  EXPECT_TRUE(gate()->isVisible());
  EXPECT_TRUE(gate()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  // Shown by anything else, it is hidden again at the gate's next tick.
  mainWindow()->show();
  EXPECT_TRUE(waitFor([&] { return !mainWindow()->isVisible(); }));
}

TEST_F(StartChain, closingTheSplashBeforeTheHandOffEndsTheProgram) {
  frmSplash* splash = forms::load<frmSplash>();
  splash->close();
  EXPECT_EQ(programEnds, 1);
  EXPECT_FALSE(forms::isLoaded(frmSplash::name()));
}

TEST_F(StartChain, aSkinThatFailsLeavesTheWindowsUndressedButTheStartGoesOn) {
  writeVault(vaultImage("abcd", {}));
  frmSplash* splash = forms::load<frmSplash>();
  // From here every dressing fails twice: the recovery finds the splash already loaded.
  Skin broken(QString::fromStdString(folder.file("missing.skin")));
  modSkin::skin = &broken;
  while (splash->intTemp < 150) splash->Timer2_Timer();
  ASSERT_NE(gate(), nullptr);
  enter(QStringLiteral("abcd"));
  ASSERT_NE(mainWindow(), nullptr);
  EXPECT_TRUE(mainWindow()->isVisible());
  EXPECT_EQ(status(), QStringLiteral("Loaded 0 entries"));
  EXPECT_EQ(programEnds, 0);
}

// First use and later use

TEST_F(StartChain, firstUseCreatesTheVaultAndOpensAnEmptyList) {
  startToGate();
  EXPECT_EQ(vaultOnDisk(), "\r\n");
  ASSERT_TRUE(modGlobals::creatingMasterPassword);
  enter(QStringLiteral("abcd"), QStringLiteral("abcd"));

  EXPECT_EQ(vaultOnDisk(), "\xE1\xE2\xE3\xE4\r\n");
  EXPECT_EQ(gate(), nullptr);
  ASSERT_NE(mainWindow(), nullptr);
  EXPECT_TRUE(mainWindow()->isVisible());
  EXPECT_EQ(status(), QStringLiteral("Password created successfully"));
  EXPECT_EQ(mainWindow()->lstPass->items().count(), 0);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(programEnds, 0);
  // The gate's timer is gone with the gate: the window stays up.
  pump(250);
  EXPECT_TRUE(mainWindow()->isVisible());
}

TEST_F(StartChain, laterUseLoadsTheEntriesAfterEnterOnTheRightPassword) {
  const std::string bytes = vaultImage("Secret1", {{"ann", "pw1", "www.example.com"}, {"bob", "", "bank"}});
  writeVault(bytes);
  startToGate();
  ASSERT_FALSE(modGlobals::creatingMasterPassword);
  EXPECT_EQ(modGlobals::storedMasterPassword, u"Secret1");

  gate()->txtPass->setText(QStringLiteral("Secret1"));
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QCoreApplication::sendEvent(gate()->txtPass, &press);

  EXPECT_EQ(gate(), nullptr);
  ASSERT_TRUE(mainWindow()->isVisible());
  EXPECT_EQ(status(), QStringLiteral("Loaded 2 entries"));
  const platform::ListItems& rows = mainWindow()->lstPass->items();
  ASSERT_EQ(rows.count(), 2);
  EXPECT_EQ(rows.row(1).text(), "ann");
  EXPECT_EQ(rows.row(1).subItem(2), "www.example.com");
  EXPECT_EQ(rows.row(2).subItem(1), "");
  EXPECT_EQ(vaultOnDisk(), bytes);
  EXPECT_EQ(programEnds, 0);
}

TEST_F(StartChain, startsWithAHundredThousandEntries) {
  std::vector<std::array<std::string, 3>> entries;
  for (int i = 0; i < 100000; ++i)
    entries.push_back({"user" + std::to_string(i), "pass" + std::to_string(i), "site" + std::to_string(i)});
  writeVault(vaultImage("abcd", entries));
  startToGate();
  enter(QStringLiteral("abcd"));
  ASSERT_TRUE(mainWindow()->isVisible());
  EXPECT_EQ(status(), QStringLiteral("Loaded 100000 entries"));
  const platform::ListItems& rows = mainWindow()->lstPass->items();
  ASSERT_EQ(rows.count(), 100000);
  EXPECT_EQ(rows.row(100000).text(), "user99999");
  EXPECT_EQ(rows.row(100000).subItem(2), "site99999");
}

// Ways out of the gate

TEST_F(StartChain, threeWrongTriesEndTheProgram) {
  writeVault(vaultImage("abcd", {}));
  startToGate();
  // Another window was active a moment earlier: the boxes still belong to the dialog, above it.
  QWidget elsewhere;
  elsewhere.show();
  elsewhere.activateWindow();
  for (const char* wrong : {"ABCD", "abcd ", "abc"}) enter(QString::fromLatin1(wrong));
  ASSERT_EQ(boxes.size(), 4u);
  for (const ShownBox& box : boxes) {
    EXPECT_EQ(box.parent, gate());
    EXPECT_TRUE(box.onTop);
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(boxes[i].text, QStringLiteral("Sorry, the password you entered was not correct."));
    EXPECT_EQ(boxes[i].title, QStringLiteral("Incorrect Password"));
    EXPECT_EQ(boxes[i].buttons, QMessageBox::Retry | QMessageBox::Cancel);
    EXPECT_EQ(boxes[i].icon, QMessageBox::NoIcon);
    EXPECT_TRUE(boxes[i].ownerOnTop);
  }
  EXPECT_EQ(boxes[3].text, QStringLiteral("Only 3 tries allowed.  Click Ok to close."));
  EXPECT_EQ(boxes[3].title, QStringLiteral("Keyloft Demo"));
  EXPECT_EQ(boxes[3].buttons, QMessageBox::Ok);
  EXPECT_EQ(programEnds, 1);
  EXPECT_FALSE(gate()->Timer1->enabled());
  EXPECT_TRUE(modGlobals::masterPassword.empty());
}

TEST_F(StartChain, everyOtherWayOutOfTheGateEndsTheProgram) {
  writeVault(vaultImage("abcd", {}));
  {
    SCOPED_TRACE("Cancel in the Incorrect Password box");
    startToGate();
    answers = {mb::vbCancel};
    enter(QStringLiteral("nope"));
    EXPECT_EQ(programEnds, 1);
    EXPECT_FALSE(gate()->Timer1->enabled());
  }
  restart();
  {
    SCOPED_TRACE("Cancel button");
    startToGate();
    gate()->cmdCancel->click();
    EXPECT_EQ(programEnds, 2);
    EXPECT_FALSE(gate()->Timer1->enabled());
  }
  restart();
  {
    SCOPED_TRACE("close box without typing");
    startToGate();
    gate()->close();
    EXPECT_EQ(programEnds, 3);
  }
}

// Something in the vault's place that can be neither read nor replaced: the user is told and the
// program ends, at once (reading a FIFO or a device would wait forever), and the thing stays.
TEST_F(StartChain, aVaultThatCannotBeReadIsReportedAndEndsTheProgram) {
  const std::pair<const char*, std::function<bool(const std::string&)>> cases[] = {
      {"folder", [](const std::string& p) { return ::mkdir(p.c_str(), 0700) == 0; }},
      {"FIFO", [](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; }},
      {"link to a device", [](const std::string& p) { return ::symlink("/dev/zero", p.c_str()) == 0; }},
      {"device", [](const std::string& p) { return ::mknod(p.c_str(), S_IFCHR | 0600, ::makedev(1, 5)) == 0; }},
      {"dangling link", [](const std::string& p) { return ::symlink("/nonexistent/data.enc", p.c_str()) == 0; }},
  };
  for (const auto& [name, make] : cases) {
    SCOPED_TRACE(name);
    std::filesystem::remove(vaultFile());
    // Only root may make a device node; in a container even root may not.
    if (!make(vaultFile())) continue;
    const auto kind = platform::files::pathKind(vaultFile());
    restart();
    boxes.clear();
    programEnds = 0;
    startToGate();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("data.enc")));
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Keyloft Demo"));
    EXPECT_EQ(programEnds, 1);
    EXPECT_EQ(gate(), nullptr);
    EXPECT_EQ(platform::files::pathKind(vaultFile()), kind);
  }
}

// Going down from the main window

TEST_F(StartChain, closingTheMainWindowUnloadsTheSplashAndEnds) {
  writeVault(vaultImage("abcd", {}));
  startToGate();
  enter(QStringLiteral("abcd"));
  mainWindow()->close();
  EXPECT_FALSE(forms::isLoaded(frmSplash::name()));
  EXPECT_FALSE(forms::isLoaded(Form1::name()));
  EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmWebsite")));
  EXPECT_EQ(programEnds, 1);
}

TEST_F(StartChain, aVisibleBrowserWindowOutlivesTheMainWindow) {
  forms::registerForm(QStringLiteral("frmWebsite"), [] { return new FakeBrowser; });
  writeVault(vaultImage("abcd", {}));
  startToGate();
  enter(QStringLiteral("abcd"));
  forms::show(QStringLiteral("frmWebsite"));
  FakeBrowser::unloads = 0;
  mainWindow()->close();
  EXPECT_EQ(programEnds, 0);
  EXPECT_TRUE(app::endWhenBrowserCloses);
  EXPECT_TRUE(forms::isLoaded(QStringLiteral("frmWebsite")));
  EXPECT_FALSE(forms::isLoaded(frmSplash::name()));

  // Loaded but hidden, it goes down with the main window.
  app::endWhenBrowserCloses = false;
  forms::hide(QStringLiteral("frmWebsite"));
  forms::load<Form1>()->close();
  EXPECT_EQ(FakeBrowser::unloads, 1);
  EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmWebsite")));
  EXPECT_FALSE(app::endWhenBrowserCloses);
  EXPECT_EQ(programEnds, 1);
}
