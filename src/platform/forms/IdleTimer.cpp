#include "IdleTimer.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>
#include <limits>

namespace platform {

IdleTimer::IdleTimer(Clock now, QObject* parent) : QObject(parent), now_(std::move(now)) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &IdleTimer::check);
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

IdleTimer::~IdleTimer() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

void IdleTimer::start(std::chrono::milliseconds limit) {
  limit_ = limit;
  running_ = limit > std::chrono::milliseconds::zero();
  lastInput_ = now_();
  timer_.stop();
  if (running_) waitFor(limit_);
}

void IdleTimer::stop() {
  running_ = false;
  timer_.stop();
}

void IdleTimer::check() {
  if (!running_) return;
  const auto idleFor = now_() - lastInput_;
  if (idleFor < limit_) {
    waitFor(limit_ - idleFor);
    return;
  }
  stop();
  emit idle();
}

// One wake-up per limit at most: input only notes its time, and the wake-up waits for the rest.
void IdleTimer::waitFor(std::chrono::steady_clock::duration rest) {
  using std::chrono::milliseconds;
  // A QTimer holds an int of milliseconds; a longer rest is waited for in turns.
  const auto ms = std::chrono::ceil<milliseconds>(rest);
  timer_.start(std::min(ms, milliseconds(std::numeric_limits<int>::max())));
}

bool IdleTimer::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
      // Only the program's own windows get these: input elsewhere on the desktop is not seen.
      if (running_ && watched->isWidgetType()) lastInput_ = now_();
      break;
    default: break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace platform
