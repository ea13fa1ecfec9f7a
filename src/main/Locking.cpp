#include "Locking.h"

#include "app/modLivery.h"
#include "list/Form1.h"
#include "list/modGlobals.h"
#include "platform/base/Settings.h"
#include "platform/forms/Clipboard.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ListView.h"
#include "platform/forms/WindowNames.h"
#include "vault/modGlobals.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

Q_LOGGING_CATEGORY(lockLog, "keyloft.lock", QtInfoMsg)

namespace Locking {
namespace {

namespace forms = platform::forms;
namespace windows = platform::windows;

struct State {
  bool locked = false;
  bool waiting = false;  // a lock waits for a save or key derivation to end
  std::vector<std::function<void()>> done;
  std::vector<QPointer<QWidget>> hidden;  // the windows to show again, in their order
  QPointer<QWidget> active;
  std::unique_ptr<platform::IdleTimer> idle;
  std::unique_ptr<platform::desktop::DesktopLockSignals> desktop;
};
State g_state;

// Before the gate is passed there is nothing open to lock.
bool unlockedAndOpen() {
  return !g_state.locked && !modGlobals::masterPassword.empty() && forms::isLoaded(windows::kForm1);
}

void finish() {
  for (auto& step : std::exchange(g_state.done, {}))
    if (step) step();
}

void hideEveryWindow() {
  g_state.hidden.clear();
  g_state.active = QApplication::activeWindow();
  // The password dialogs hold typed passwords: they go, rather than wait hidden.
  for (const QLatin1StringView dialog : {windows::kFrmEncrypt, windows::kFrmChangePassword}) forms::unload(dialog);
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible()) continue;
    // An open menu or tooltip just goes.
    if (window->windowType() != Qt::Popup && window->windowType() != Qt::ToolTip) g_state.hidden.emplace_back(window);
    window->hide();
  }
}

void lockNow() {
  g_state.waiting = false;
  if (!unlockedAndOpen()) {
    finish();
    return;
  }
  hideEveryWindow();
  if (g_state.idle) g_state.idle->stop();
  if (platform::clipboard::forgetOurs()) qCDebug(lockLog) << "Copied text taken off the clipboard at the lock";
  modGlobals::editorUsername.clear();
  modGlobals::editorPassword.clear();
  modGlobals::editorLocation.clear();
  modGlobals::closeForLock();
  g_state.locked = true;
  modGlobals::askMasterPassword();
  finish();
}

// A save or a key derivation is never cut in two: the lock waits for them to end, since a
// derivation runs window events (this request among them) until it is done.
void lockWhenIdle() {
  if (g_state.waiting) return;
  g_state.waiting = true;
  modGlobals::whenNotBusy(lockNow);
}

}  // namespace

void requestLock(std::function<void()> done) {
  g_state.done.push_back(std::move(done));
  lockWhenIdle();
}

bool locked() { return g_state.locked; }

void afterUnlock() {
  auto loaded = modGlobals::reloadVaultAfterUnlock();
  // Only a vault that can no longer be read fails here, and that has ended the program with a message.
  if (!loaded) {
    qCDebug(lockLog) << "Not unlocked:" << QString::fromStdString(loaded.why());
    return;
  }
  g_state.locked = false;
  if (Form1* main = forms::instance<Form1>()) main->lstPass->selectRow(main->lstPass->items().firstSelected());
  for (const QPointer<QWidget>& window : std::exchange(g_state.hidden, {}))
    if (window) window->show();
  if (g_state.active) g_state.active->activateWindow();
  forms::unload(windows::kFrmPass);
  if (g_state.idle) g_state.idle->start(lockAfterMinutes());
}

std::chrono::minutes lockAfterMinutes() {
  // Beyond a year is as good as never, and keeps the count of milliseconds in range.
  return std::chrono::minutes(platform::settings::getCountSetting(
      modLivery::productName, QStringLiteral("Settings"), QStringLiteral("lockAfterMinutes"), 10, 366LL * 24 * 60));
}

void startTriggers(platform::IdleTimer::Clock clock, const platform::desktop::Buses& buses) {
  g_state.idle = std::make_unique<platform::IdleTimer>(std::move(clock));
  QObject::connect(g_state.idle.get(), &platform::IdleTimer::idle, g_state.idle.get(), [] {
    requestLock();
    // Idle at the gate at the start (nothing to lock yet): the count starts again.
    if (!g_state.locked && g_state.idle) g_state.idle->start(lockAfterMinutes());
  });
  g_state.idle->start(lockAfterMinutes());
  g_state.desktop = std::make_unique<platform::desktop::DesktopLockSignals>(buses);
  auto* desktop = g_state.desktop.get();
  QObject::connect(desktop, &platform::desktop::DesktopLockSignals::lockWanted, desktop, [] { requestLock(); });
  QObject::connect(desktop, &platform::desktop::DesktopLockSignals::sleepComing, desktop,
                   [desktop] { requestLock([desktop] { desktop->releaseSleepInhibitor(); }); });
}

platform::IdleTimer* idleTimer() { return g_state.idle.get(); }
platform::desktop::DesktopLockSignals* desktopSignals() { return g_state.desktop.get(); }

void reset() { g_state = {}; }

}  // namespace Locking
