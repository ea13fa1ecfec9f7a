#include "Clipboard.h"

#include "platform/base/Secret.h"
#include "RunState.h"

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

// This file's part of the layer's run-wide state.
Ours& copied() { return formsRunState().copied; }
HandClock& handClock() { return formsRunState().handClock; }
QPointer<QTimer>& countdownTimer() { return formsRunState().clipboardTimer; }

// The longest interval a QTimer holds (about 24 days); longer settings wait that long.
constexpr std::chrono::milliseconds kLongest{std::numeric_limits<int>::max()};

void countdownDue() {
  std::function<void()> said = copied().onForgotten;
  if (forgetOurs() && said) said();
}

QTimer& timer() {
  if (!countdownTimer()) {
    countdownTimer() = new QTimer(QCoreApplication::instance());
    countdownTimer()->setSingleShot(true);
    // Never earlier than the user asked for.
    countdownTimer()->setTimerType(Qt::PreciseTimer);
    QObject::connect(countdownTimer(), &QTimer::timeout, countdownTimer(), countdownDue);
  }
  return *countdownTimer();
}

void startCountdown(std::chrono::milliseconds interval) {
  if (!handClock().on) {
    timer().start(interval);
    return;
  }
  handClock().interval = interval;
  handClock().passed = {};
}

void stopCountdown() {
  copied() = {};
  handClock().interval = {};
  if (countdownTimer()) countdownTimer()->stop();
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
  copied() = {secretOf(text), std::move(onForgotten)};
  if (forgetAfter <= std::chrono::seconds::zero()) return;
  const auto interval = forgetAfter >= std::chrono::duration_cast<std::chrono::seconds>(kLongest)
                            ? kLongest
                            : std::chrono::milliseconds(forgetAfter);
  startCountdown(interval);
}

QString text() { return QGuiApplication::clipboard()->text(QClipboard::Clipboard); }

bool forgetOurs() {
  const Ours ours = std::exchange(copied(), {});
  stopCountdown();
  if (!stillOurs(ours)) return false;
  QClipboard* board = QGuiApplication::clipboard();
  board->clear(QClipboard::Clipboard);
  // Hand the clear to the display server now: the process may end right after this.
  QGuiApplication::sync();
  return true;
}

std::chrono::milliseconds forgetInterval() {
  if (handClock().on) return handClock().interval;
  return countdownTimer() && countdownTimer()->isActive() ? countdownTimer()->intervalAsDuration()
                                                          : std::chrono::milliseconds::zero();
}

void setHandClockForTests(bool on) {
  stopCountdown();
  handClock() = {};
  handClock().on = on;
}

void advanceClockForTests(std::chrono::milliseconds by) {
  if (handClock().interval == std::chrono::milliseconds::zero()) return;
  handClock().passed += by;
  if (handClock().passed >= handClock().interval) {
    handClock().interval = {};
    countdownDue();
  }
}

}  // namespace platform::clipboard
