// Protects the timer: ticks while enabled with a positive interval, and never otherwise.
#include "platform/forms/Timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

// Lets events run until `done` holds or the (generous) time is up.
bool runUntil(const std::function<bool()>& done, int milliseconds = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

void runFor(int milliseconds) {
  runUntil([] { return false; }, milliseconds);
}

}  // namespace

TEST(Timer, TicksOnlyWhileEnabledWithAPositiveInterval) {
  platform::Timer timer;
  int ticks = 0;
  timer.onTimer = [&] { ++ticks; };
  timer.setInterval(5);
  runFor(50);
  EXPECT_EQ(ticks, 0);  // not enabled yet

  timer.setEnabled(true);
  EXPECT_TRUE(runUntil([&] { return ticks >= 3; }));
  timer.setEnabled(false);
  int stoppedAt = ticks;
  runFor(100);
  EXPECT_EQ(ticks, stoppedAt);

  timer.setEnabled(true);
  timer.setInterval(0);
  stoppedAt = ticks;
  runFor(100);
  EXPECT_EQ(ticks, stoppedAt);
}

TEST(Timer, AHandlerMayDisableItsOwnTimer) {
  platform::Timer timer;
  int ticks = 0;
  timer.onTimer = [&] {
    ++ticks;
    timer.setEnabled(false);
  };
  timer.setInterval(5);
  timer.setEnabled(true);
  EXPECT_TRUE(runUntil([&] { return ticks >= 1; }));
  runFor(100);
  EXPECT_EQ(ticks, 1);
}
