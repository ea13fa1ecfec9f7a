// Protects setOnTop: exactly -1 keeps a window on top, any other value releases it, in place.
#include "app/modOnTop.h"

#include <QWidget>

#include <gtest/gtest.h>

TEST(SetOnTop, OnlyMinusOneMeansOnTopAndTheWindowStaysWhereItWas) {
  QWidget window;
  window.setGeometry(100, 120, 300, 200);
  window.show();
  const QRect before = window.geometry();

  modOnTop::setOnTop(&window, -1);
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.geometry(), before);

  modOnTop::setOnTop(&window, 1);  // true in other languages, but not the design's true
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.geometry(), before);

  modOnTop::setOnTop(&window, -1);
  modOnTop::setOnTop(&window, 0);
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(SetOnTop, HiddenWindowStaysHidden) {
  QWidget window;
  modOnTop::setOnTop(&window, -1);
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(window.isVisible());
}
