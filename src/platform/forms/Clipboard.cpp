#include "Clipboard.h"

#include "platform/base/Secret.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

#include <limits>
#include <optional>
#include <string_view>
#include <utility>

namespace platform::clipboard {
namespace {

// What setText last put on the clipboard: its text, in a buffer that is wiped when forgotten or
// replaced; none once forgotten (an empty text of ours is still something to compare with).
struct Ours {
  std::optional<SecretText> text;
  std::function<void()> onForgotten;
};
Ours g_ours;
QPointer<QTimer> g_timer;  // made at the first countdown; goes with the application

// The longest interval a QTimer holds (about 24 days); longer settings wait that long.
constexpr std::chrono::milliseconds kLongest{std::numeric_limits<int>::max()};

// A countdown that tests run by hand: its length, and how much of it has passed.
struct HandClock {
  bool on = false;
  std::chrono::milliseconds interval{0};  // zero: no countdown runs
  std::chrono::milliseconds passed{0};
};
HandClock g_handClock;

void countdownDue() {
  std::function<void()> said = g_ours.onForgotten;
  if (forgetOurs() && said) said();
}

QTimer& timer() {
  if (!g_timer) {
    g_timer = new QTimer(QCoreApplication::instance());
    g_timer->setSingleShot(true);
    // Never earlier than the user asked for.
    g_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(g_timer, &QTimer::timeout, g_timer, countdownDue);
  }
  return *g_timer;
}

void startCountdown(std::chrono::milliseconds interval) {
  if (!g_handClock.on) {
    timer().start(interval);
    return;
  }
  g_handClock.interval = interval;
  g_handClock.passed = {};
}

void stopCountdown() {
  g_ours = {};
  g_handClock.interval = {};
  if (g_timer) g_timer->stop();
}

// Ours while the clipboard offers exactly our text, whoever offers it: clipboard managers take
// the clipboard over and offer the same text again. A picture or any other text is not ours.
bool stillOurs(const Ours& ours) {
  if (!ours.text) return false;
  const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
  if (!data || !data->hasText()) return false;
  const QString now = data->text();
  return std::u16string_view(reinterpret_cast<const char16_t*>(now.constData()),
                             static_cast<std::size_t>(now.size())) == ours.text->view();
}

}  // namespace

void clear() {
  stopCountdown();
  QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

void setText(const QString& text, bool secret, std::chrono::seconds forgetAfter, std::function<void()> onForgotten) {
  stopCountdown();
  auto* data = new QMimeData;
  data->setText(text);
  // Clipboard managers that honour this hint keep the text out of their history.
  if (secret) data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
  QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
  g_ours = {secretOf(text), std::move(onForgotten)};
  if (forgetAfter <= std::chrono::seconds::zero()) return;
  const auto interval = forgetAfter >= std::chrono::duration_cast<std::chrono::seconds>(kLongest)
                            ? kLongest
                            : std::chrono::milliseconds(forgetAfter);
  startCountdown(interval);
}

QString text() { return QGuiApplication::clipboard()->text(QClipboard::Clipboard); }

bool forgetOurs() {
  const Ours ours = std::exchange(g_ours, {});
  stopCountdown();
  if (!stillOurs(ours)) return false;
  QClipboard* board = QGuiApplication::clipboard();
  board->clear(QClipboard::Clipboard);
  // Hand the clear to the display server now: the process may end right after this.
  QGuiApplication::sync();
  return true;
}

std::chrono::milliseconds forgetInterval() {
  if (g_handClock.on) return g_handClock.interval;
  return g_timer && g_timer->isActive() ? g_timer->intervalAsDuration() : std::chrono::milliseconds::zero();
}

void setHandClockForTests(bool on) {
  stopCountdown();
  g_handClock = {};
  g_handClock.on = on;
}

void advanceClockForTests(std::chrono::milliseconds by) {
  if (g_handClock.interval == std::chrono::milliseconds::zero()) return;
  g_handClock.passed += by;
  if (g_handClock.passed >= g_handClock.interval) {
    g_handClock.interval = {};
    countdownDue();
  }
}

}  // namespace platform::clipboard
