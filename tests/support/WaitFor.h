#pragma once
// Waiting for the event loop in tests: generous limits, never a fixed sleep that a slow machine
// could outrun.
#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace testing_support {

// Lets events run until the condition holds; false when it did not within the time.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// Lets events run for the whole time: for checking that something does not happen meanwhile.
inline void pump(int milliseconds) {
  waitFor([] { return false; }, milliseconds);
}

}  // namespace testing_support
