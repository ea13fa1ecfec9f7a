#include "Timer.h"

namespace platform {

Timer::Timer(QObject* parent) : QObject(parent) { connect(&timer_, &QTimer::timeout, this, &Timer::ticked); }

void Timer::setInterval(int milliseconds) {
  interval_ = milliseconds;
  restart();
}

void Timer::setEnabled(bool enabled) {
  enabled_ = enabled;
  restart();
}

// Setting either property starts the count again, as the control does.
void Timer::restart() {
  timer_.stop();
  if (enabled_ && interval_ > 0) timer_.start(interval_);
}

}  // namespace platform
