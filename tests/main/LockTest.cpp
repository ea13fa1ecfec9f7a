// Protects locking: nothing of the entries or the key left behind, the way back through the gate,
// and what locks (the File menu, idle minutes on a hand clock, the desktop's signals on a private bus).
#include "support/ProgramHarness.h"

#include "list/frmAdd.h"
#include "main/Locking.h"
#include "platform/forms/Clipboard.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QKeyEvent>
#include <QProcess>
#include <QTimer>

#include <poll.h>
#include <unistd.h>

using namespace program_test;
using namespace std::chrono_literals;

namespace {

const std::vector<testing_support::Entry> kEntries = {
    {"carol", "c3", "c.example"}, {"alice", "a1", "a.example"}, {"bob", "b2", "b.example"}};
const QString kSession = QStringLiteral("/org/freedesktop/login1/session/test");

// logind as Keyloft asks it: the session's path, and a delay inhibitor that is a pipe's end.
class FakeLogin final : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

 public:
  ~FakeLogin() override { ::close(readEnd); }
  int inhibits = 0;
  int readEnd = -1;
  // Every copy of the write end closed: logind would let the machine sleep.
  bool handedBack() const {
    pollfd fd{readEnd, POLLIN, 0};
    return ::poll(&fd, 1, 0) == 1 && (fd.revents & POLLHUP);
  }

 public slots:  // NOLINT(readability-redundant-access-specifiers)
  QDBusObjectPath GetSession(const QString&) { return QDBusObjectPath(kSession); }
  QDBusObjectPath GetSessionByPID(uint) { return QDBusObjectPath(kSession); }
  QDBusUnixFileDescriptor Inhibit(const QString&, const QString&, const QString&, const QString&) {
    int ends[2];
    if (::pipe(ends) != 0) return {};
    ::close(readEnd);
    readEnd = ends[0];
    ++inhibits;
    QDBusUnixFileDescriptor handed(ends[1]);  // a copy of its own
    ::close(ends[1]);
    return handed;
  }
};

class Lock : public ProgramTest {
 protected:
  void TearDown() override {
    Locking::reset();
    QDBusConnection::disconnectFromBus(desktop.name());
    daemon.terminate();
    daemon.waitForFinished();
    ProgramTest::TearDown();
  }
  void start() {
    writeVault(vaultImage("abcd", kEntries));
    modLivery::loadProductIdentity();
    forms::load<Form1>();
    enter(QStringLiteral("abcd"));
  }
  platform::ListItems& items() { return mainWindow()->lstPass->items(); }
  std::vector<std::string> userNames() {
    std::vector<std::string> names(items().count());
    for (std::size_t n = 0; n < names.size(); ++n) names[n] = items().row(std::int64_t(n) + 1).text();
    return names;
  }
  // Starts a bus of the test's own with logind and both screen savers on it; false without dbus-daemon.
  bool startPrivateBus() {
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!daemon.waitForReadyRead(10000)) return false;
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    desktop = QDBusConnection::connectToBus(address, QStringLiteral("fake-desktop"));
    for (const char* name : {"org.freedesktop.login1", "org.freedesktop.ScreenSaver", "org.gnome.ScreenSaver"})
      desktop.registerService(QLatin1StringView(name));
    desktop.registerObject(QStringLiteral("/org/freedesktop/login1"), &login, QDBusConnection::ExportAllSlots);
    Locking::startTriggers(&std::chrono::steady_clock::now, {address, address});
    return waitFor([] { return Locking::desktopSignals()->watchesSession(); });
  }
  void say(const QString& path, const QString& interface, const QString& name, const QVariantList& args = {}) {
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(args);
    desktop.send(signal);
  }

  QProcess daemon;
  FakeLogin login;
  QDBusConnection desktop{QString()};
};

}  // namespace

TEST_F(Lock, leavesNoEntryPasswordOrKeyInMemoryNorOnTheClipboardAndOpensAgainWithThePassword) {
  start();
  ASSERT_TRUE(modGlobals::encryptVault());
  mainWindow()->lstPass->selectRow(1);
  mainWindow()->cmdCopy_Click(1);
  mainWindow()->mnuLock->trigger();
  EXPECT_EQ(items().count(), 0);
  EXPECT_TRUE(modGlobals::masterPassword.empty());
  EXPECT_TRUE(modGlobals::storedMasterPassword.empty());
  EXPECT_FALSE(modGlobals::vaultSealed());
  EXPECT_TRUE(modGlobals::editorPassword.isEmpty());
  EXPECT_TRUE(platform::clipboard::text().isEmpty());
  EXPECT_FALSE(mainWindow()->isVisible());
  ASSERT_NE(gate(), nullptr);
  EXPECT_TRUE(gate()->isVisible());
  EXPECT_FALSE(gate()->txtPass2->isVisibleTo(gate()));
  enter(QStringLiteral("abcd"));
  EXPECT_TRUE(modGlobals::vaultSealed());
  EXPECT_EQ(items().count(), 3);
}

TEST_F(Lock, unlockListsTheFileAsItIsNowInItsSortOrderWithTheSameEntrySelected) {
  start();
  mainWindow()->lstPass_ColumnClick(1);  // descending by user name
  mainWindow()->lstPass->selectRow(2);   // bob
  mainWindow()->mnuAboutItem_Click(0);
  Locking::requestLock();
  EXPECT_FALSE(forms::instance(platform::windows::kFrmAbout)->isVisible());
  auto changed = kEntries;
  changed.push_back({"aaron", "x", "y"});  // saved meanwhile by another Keyloft
  writeVault(vaultImage("abcd", changed));
  enter(QStringLiteral("abcd"));
  EXPECT_EQ(userNames(), (std::vector<std::string>{"carol", "bob", "alice", "aaron"}));
  EXPECT_EQ(mainWindow()->lstPass->currentIndex().row(), 1);
  EXPECT_EQ(items().firstSelected(), 2);
  EXPECT_EQ(status(), "Loaded 4 entries");
  EXPECT_TRUE(mainWindow()->isVisible());
  EXPECT_TRUE(forms::instance(platform::windows::kFrmAbout)->isVisible());
  EXPECT_FALSE(forms::isLoaded(frmPass::name()));
}

TEST_F(Lock, threeWrongPasswordsAfterALockEndTheProgram) {
  start();
  Locking::requestLock();
  for (int i = 0; i < 3; ++i) enter(QStringLiteral("abce"));
  EXPECT_EQ(programEnds, 1);
  EXPECT_EQ(boxes.back().text, "Only 3 tries allowed.  Click Ok to close.");
}

TEST_F(Lock, anEditorKeepsItsTypedTextHiddenAndSavesItIntoItsEntryAfterTheUnlock) {
  start();
  mainWindow()->lstPass->selectRow(1);
  mainWindow()->cmdEdit_Click();
  frmAdd* editor = forms::instance<frmAdd>();
  editor->txtPassword->setText(QStringLiteral("typed"));
  Locking::requestLock();
  EXPECT_FALSE(editor->isVisible());
  enter(QStringLiteral("abcd"));
  ASSERT_TRUE(editor->isVisible());
  editor->cmdAdd_Click(0);
  EXPECT_EQ(userNames(), (std::vector<std::string>{"carol", "alice", "bob"}));
  EXPECT_EQ(items().row(1).subItem(1), "typed");
}

TEST_F(Lock, waitsForAKeyDerivationToEnd) {
  start();
  vault::sealed::setKdfCostsForTests({2, 64ULL << 20}, vault::sealed::kCheapKdfForTests);
  bool busyThen = false;
  QTimer::singleShot(0, [&] {
    busyThen = modGlobals::vaultBusy();
    Locking::requestLock();
  });
  ASSERT_TRUE(modGlobals::encryptVault());
  ASSERT_TRUE(busyThen);
  EXPECT_FALSE(Locking::locked());
  ASSERT_TRUE(waitFor(Locking::locked));
  enter(QStringLiteral("abcd"));
  EXPECT_EQ(items().count(), 3);
}

TEST_F(Lock, lockAfterMinutesCountsAnythingButAWholeNumberAsTen) {
  modLivery::loadProductIdentity();
  for (const auto& [stored, minutes] : std::vector<std::pair<const char*, int>>{
           {"0", 0}, {"3", 3}, {" 7 ", 7}, {"", 10}, {"-2", 10}, {"2.5", 10}, {"soon", 10}}) {
    platform::settings::saveSetting(QStringLiteral("Keyloft"), QStringLiteral("Settings"),
                                    QStringLiteral("lockAfterMinutes"), QLatin1StringView(stored));
    EXPECT_EQ(Locking::lockAfterMinutes().count(), minutes) << stored;
  }
}

TEST_F(Lock, locksAfterTheIdleMinutesCountedFromTheLastInput) {
  platform::settings::saveSetting(QStringLiteral("Keyloft"), QStringLiteral("Settings"),
                                  QStringLiteral("lockAfterMinutes"), QStringLiteral("5"));
  start();
  std::chrono::steady_clock::time_point now{};
  const QString noBus = QStringLiteral("unix:path=/nonexistent");
  Locking::startTriggers([&now] { return now; }, {noBus, noBus});
  now += 4min;
  QKeyEvent key(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QCoreApplication::sendEvent(mainWindow()->lstPass, &key);
  now += 4min;
  Locking::idleTimer()->check();
  EXPECT_FALSE(Locking::locked());
  now += 1min;
  Locking::idleTimer()->check();
  EXPECT_TRUE(Locking::locked());
}

TEST_F(Lock, theSessionLockAndEitherScreenSaverComingOnLock) {
  start();
  if (!startPrivateBus()) GTEST_SKIP() << "no dbus-daemon";
  struct Said {
    QString path, interface, name;
    QVariantList args;
    bool locks;
  };
  const QString saver = QStringLiteral("org.freedesktop.ScreenSaver"), gnome = QStringLiteral("org.gnome.ScreenSaver");
  const QString active = QStringLiteral("ActiveChanged");
  for (const Said& said :
       std::vector<Said>{{kSession, QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Lock"), {}, true},
                         {QStringLiteral("/org/freedesktop/ScreenSaver"), saver, active, {true}, true},
                         {QStringLiteral("/org/gnome/ScreenSaver"), gnome, active, {true}, true},
                         {QStringLiteral("/org/gnome/ScreenSaver"), gnome, active, {false}, false}}) {
    if (Locking::locked()) enter(QStringLiteral("abcd"));
    say(said.path, said.interface, said.name, said.args);
    EXPECT_EQ(waitFor(Locking::locked, said.locks ? 5000 : 500), said.locks) << said.interface.toStdString();
  }
}

TEST_F(Lock, aSleepLocksFirstThenHandsBackItsInhibitorAndTakesANewOneAfterTheResume) {
  start();
  if (!startPrivateBus()) GTEST_SKIP() << "no dbus-daemon";
  ASSERT_TRUE(waitFor([this] { return login.inhibits == 1 && Locking::desktopSignals()->holdsSleepInhibitor(); }));
  const QString manager = QStringLiteral("org.freedesktop.login1.Manager");
  say(QStringLiteral("/org/freedesktop/login1"), manager, QStringLiteral("PrepareForSleep"), {true});
  ASSERT_TRUE(waitFor(Locking::locked));
  EXPECT_TRUE(waitFor([this] { return login.handedBack(); }));
  say(QStringLiteral("/org/freedesktop/login1"), manager, QStringLiteral("PrepareForSleep"), {false});
  EXPECT_TRUE(waitFor([this] { return login.inhibits == 2; }));
}

#include "LockTest.moc"
