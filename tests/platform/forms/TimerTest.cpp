// Protects the timer: ticks while enabled with a positive interval, and never otherwise.
#include "platform/forms/Timer.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

using testing_support::pump;
using testing_support::waitFor;

TEST(Timer, ticksOnlyWhileEnabledWithAPositiveInterval) {
  platform::Timer timer;
  int ticks = 0;
  QObject::connect(&timer, &platform::Timer::ticked, [&] { ++ticks; });
  timer.setInterval(5);
  pump(50);
  EXPECT_EQ(ticks, 0);  // not enabled yet

  timer.setEnabled(true);
  EXPECT_TRUE(waitFor([&] { return ticks >= 3; }));
  timer.setEnabled(false);
  int stoppedAt = ticks;
  pump(100);
  EXPECT_EQ(ticks, stoppedAt);

  timer.setEnabled(true);
  timer.setInterval(0);
  stoppedAt = ticks;
  pump(100);
  EXPECT_EQ(ticks, stoppedAt);
}

TEST(Timer, aHandlerMayDisableItsOwnTimer) {
  platform::Timer timer;
  int ticks = 0;
  QObject::connect(&timer, &platform::Timer::ticked, [&] {
    ++ticks;
    timer.setEnabled(false);
  });
  timer.setInterval(5);
  timer.setEnabled(true);
  EXPECT_TRUE(waitFor([&] { return ticks >= 1; }));
  pump(100);
  EXPECT_EQ(ticks, 1);
}
