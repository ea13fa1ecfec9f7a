#include "DesktopLockSignals.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>

#include <unistd.h>

// A desktop service that is missing (no logind in a container, no screen saver) leaves a line here
// and that reason to lock is simply not heard.
Q_LOGGING_CATEGORY(desktopLog, "keyloft.desktop", QtInfoMsg)

namespace platform::desktop {
namespace {

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

// Each object has connections of its own, named after it, so that they go with it.
QDBusConnection busAt(const QString& address, const QString& name, QDBusConnection::BusType standard) {
  if (address.isEmpty())
    return standard == QDBusConnection::SystemBus ? QDBusConnection::systemBus() : QDBusConnection::sessionBus();
  return QDBusConnection::connectToBus(address, name);
}

QString connectionName(const void* owner, const char* which) {
  return QStringLiteral("keyloft-desktop-%1-%2").arg(reinterpret_cast<quintptr>(owner)).arg(QLatin1StringView(which));
}

// Runs `then` with the reply of an asynchronous call: the windows never wait for the bus.
template <class Reply, class Then>
void whenAnswered(QObject* owner, const QDBusPendingCall& call, Then then) {
  auto* watcher = new QDBusPendingCallWatcher(call, owner);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, owner, [watcher, then] {
    const QDBusPendingReply<Reply> reply = *watcher;
    watcher->deleteLater();
    if (reply.isError()) {
      qCDebug(desktopLog) << "No answer from the desktop:" << reply.error().name() << reply.error().message();
      return;
    }
    then(reply.value());
  });
}

}  // namespace

DesktopLockSignals::DesktopLockSignals(const Buses& buses, QObject* parent)
    : QObject(parent),
      system_(busAt(buses.systemAddress, connectionName(this, "system"), QDBusConnection::SystemBus)),
      session_(busAt(buses.sessionAddress, connectionName(this, "session"), QDBusConnection::SessionBus)) {
  if (!session_.isConnected()) qCDebug(desktopLog) << "No session bus; screen savers are not heard";
  for (const auto& [service, path] :
       {std::pair{QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver")},
        // KDE's screen saver says it at this path too.
        std::pair{QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/ScreenSaver")},
        std::pair{QStringLiteral("org.gnome.ScreenSaver"), QStringLiteral("/org/gnome/ScreenSaver")}}) {
    const QString interface = path == QStringLiteral("/ScreenSaver") ? QStringLiteral("org.freedesktop.ScreenSaver")
                                                                     : service;
    session_.connect(service, path, interface, QStringLiteral("ActiveChanged"), this, SLOT(screenSaverActive(bool)));
  }
  if (!system_.isConnected()) {
    qCDebug(desktopLog) << "No system bus; session locks and sleeps are not heard";
    return;
  }
  system_.connect(kLogin, kLoginPath, kManager, QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
  watchSession();
  takeSleepInhibitor();
}

DesktopLockSignals::~DesktopLockSignals() {
  releaseSleepInhibitor();
  for (const QDBusConnection& bus : {system_, session_}) {
    if (bus.name().startsWith(QStringLiteral("keyloft-desktop-"))) QDBusConnection::disconnectFromBus(bus.name());
  }
}

// The session is the one logind names for XDG_SESSION_ID, or else the one this process runs in.
void DesktopLockSignals::watchSession() {
  const QString id = qEnvironmentVariable("XDG_SESSION_ID");
  QDBusMessage ask = id.isEmpty()
                         ? QDBusMessage::createMethodCall(kLogin, kLoginPath, kManager,
                                                          QStringLiteral("GetSessionByPID"))
                         : QDBusMessage::createMethodCall(kLogin, kLoginPath, kManager, QStringLiteral("GetSession"));
  if (id.isEmpty())
    ask << static_cast<uint>(::getpid());
  else
    ask << id;
  whenAnswered<QDBusObjectPath>(this, system_.asyncCall(ask), [this](const QDBusObjectPath& path) {
    watchesSession_ = system_.connect(kLogin, path.path(), QStringLiteral("org.freedesktop.login1.Session"),
                                      QStringLiteral("Lock"), this, SLOT(sessionLocked()));
  });
}

// Through a callback rather than a pending-call watcher: the reply, with its copies of the file
// descriptor, then goes as soon as the answer is read, and handing the inhibitor back closes it.
void DesktopLockSignals::takeSleepInhibitor() {
  QDBusMessage ask = QDBusMessage::createMethodCall(kLogin, kLoginPath, kManager, QStringLiteral("Inhibit"));
  ask << QStringLiteral("sleep") << QStringLiteral("Keyloft") << QStringLiteral("Lock before sleep")
      << QStringLiteral("delay");
  system_.callWithCallback(ask, this, SLOT(sleepInhibitorTaken(QDBusMessage)), SLOT(noSleepInhibitor(QDBusError)));
}

void DesktopLockSignals::sleepInhibitorTaken(const QDBusMessage& reply) {
  // Answered after the sleep began: the lock it was for is done, the machine must not wait.
  if (!sleeping_ && !reply.arguments().isEmpty())
    inhibitor_ = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
}

void DesktopLockSignals::noSleepInhibitor(const QDBusError& error) {
  qCDebug(desktopLog) << "No sleep inhibitor:" << error.name() << error.message();
}

void DesktopLockSignals::releaseSleepInhibitor() {
  if (!inhibitor_.isValid()) return;
  qCDebug(desktopLog) << "Sleep inhibitor handed back";
  inhibitor_ = QDBusUnixFileDescriptor();
}

void DesktopLockSignals::sessionLocked() { emit lockWanted(); }

void DesktopLockSignals::screenSaverActive(bool active) {
  if (active) emit lockWanted();
}

void DesktopLockSignals::prepareForSleep(bool starting) {
  sleeping_ = starting;
  if (starting) {
    emit sleepComing();
    return;
  }
  takeSleepInhibitor();
}

}  // namespace platform::desktop
