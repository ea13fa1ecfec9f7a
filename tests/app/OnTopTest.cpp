// Protects setOnTop: exactly -1 keeps a window on top, any other value releases it, in place.
#include "app/modOnTop.h"

#include <QLineEdit>
#include <QWidget>
#include <QWindow>

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

// Toggling must not re-create the native window: that flickers and drops the keyboard focus
// the user was typing with, around every message box of the password dialog.
TEST(SetOnTop, KeepsTheNativeWindowAndTheFocus) {
  QWidget window;
  auto* field = new QLineEdit(&window);
  new QLineEdit(&window);
  window.show();
  window.activateWindow();
  field->setFocus();
  const QWindow* native = window.windowHandle();
  const WId id = window.winId();

  for (short flag : {-1, 0, -1}) {
    modOnTop::setOnTop(&window, flag);
    EXPECT_EQ(window.windowHandle(), native);
    EXPECT_EQ(window.winId(), id);
    EXPECT_EQ(native->flags().testFlag(Qt::WindowStaysOnTopHint), flag == -1);
    EXPECT_EQ(window.focusWidget(), field);
    EXPECT_TRUE(window.isVisible());
  }
}

TEST(SetOnTop, HiddenWindowStaysHidden) {
  QWidget window;
  modOnTop::setOnTop(&window, -1);
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(window.isVisible());
}
