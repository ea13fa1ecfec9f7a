#include "Clipboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

#include <limits>
#include <utility>

namespace platform::clipboard {
namespace {

// What setText last put on the clipboard. Qt deletes our object once anyone else takes the
// clipboard (another program, or a copy elsewhere in this one), and the pointer then reads null.
struct Ours {
  QPointer<QMimeData> data;
  QString text;
  std::function<void()> onForgotten;
};
Ours g_ours;
QPointer<QTimer> g_timer;  // made at the first countdown; goes with the application

// The longest interval a QTimer holds (about 24 days); longer settings wait that long.
constexpr std::chrono::milliseconds kLongest{std::numeric_limits<int>::max()};

QTimer& timer() {
  if (!g_timer) {
    g_timer = new QTimer(QCoreApplication::instance());
    g_timer->setSingleShot(true);
    // Never earlier than the user asked for.
    g_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(g_timer, &QTimer::timeout, g_timer, [] {
      std::function<void()> said = g_ours.onForgotten;
      if (forgetOurs() && said) said();
    });
  }
  return *g_timer;
}

void stopCountdown() {
  g_ours = {};
  if (g_timer) g_timer->stop();
}

bool stillOurs(const Ours& ours) {
  if (!ours.data) return false;
  const QClipboard* board = QGuiApplication::clipboard();
  // X11, Wayland and the in-process clipboard hand back our own object for as long as we hold
  // the clipboard, so nothing of anyone else's is ever read.
  if (board->mimeData(QClipboard::Clipboard) == ours.data) return true;
  // Elsewhere the platform may answer with a copy: then we must still own it, with our text.
  return board->ownsClipboard() && board->text(QClipboard::Clipboard) == ours.text;
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
  g_ours = {data, text, std::move(onForgotten)};
  if (forgetAfter <= std::chrono::seconds::zero()) return;
  const auto interval = forgetAfter >= std::chrono::duration_cast<std::chrono::seconds>(kLongest)
                            ? kLongest
                            : std::chrono::milliseconds(forgetAfter);
  timer().start(interval);
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
  return g_timer && g_timer->isActive() ? g_timer->intervalAsDuration() : std::chrono::milliseconds::zero();
}

}  // namespace platform::clipboard
