#pragma once
// What the desktop says that should lock Keyloft: the session locked (logind's Lock), a screen
// saver come on (ActiveChanged(true) of the freedesktop and GNOME screen savers), and the machine
// about to sleep (logind's PrepareForSleep(true)). Before a sleep logind waits for a delay
// inhibitor, held from the start until the lock is done and taken again after the resume.
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

namespace platform::desktop {

// Where the desktop's services are reached: empty addresses are the real system and session buses.
// Tests point both at a private bus of their own.
struct Buses {
  QString systemAddress;
  QString sessionAddress;
};

class DesktopLockSignals final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(DesktopLockSignals)

 public:
  explicit DesktopLockSignals(const Buses& buses = {}, QObject* parent = nullptr);
  ~DesktopLockSignals() override;

  // Once locked for a sleep: the inhibitor handed back, so that the machine may go to sleep.
  void releaseSleepInhibitor();
  bool holdsSleepInhibitor() const { return inhibitor_.isValid(); }
  // Whether the session's own Lock signal is heard (its path found through logind).
  bool watchesSession() const { return watchesSession_; }

 signals:
  void lockWanted();
  // Lock, then call releaseSleepInhibitor.
  void sleepComing();

  // QtDBus delivers signals to slots named by their signature only.
 private slots:  // NOLINT(readability-redundant-access-specifiers)
  void sessionLocked();
  void screenSaverActive(bool active);
  void prepareForSleep(bool starting);
  void sleepInhibitorTaken(const QDBusMessage& reply);
  void noSleepInhibitor(const QDBusError& error);

 private:
  void watchSession();
  void takeSleepInhibitor();

  QDBusConnection system_;
  QDBusConnection session_;
  QDBusUnixFileDescriptor inhibitor_;
  bool watchesSession_ = false;
  bool sleeping_ = false;  // between PrepareForSleep(true) and (false)
};

}  // namespace platform::desktop
