// Protects setOnTop: exactly -1 keeps a window on top, any other value releases it, in place.
#include "app/modOnTop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

TEST(SetOnTop, onlyMinusOneMeansOnTopAndTheWindowStaysWhereItWas) {
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

// Toggling must not take the window down and up again: that flickers and drops the keyboard
// focus the user was typing with, around every message box of the password dialog.
TEST(SetOnTop, keepsTheWindowUpAndActiveWithItsFocus) {
  QWidget window;
  auto* field = new QLineEdit(&window);
  new QLineEdit(&window);
  window.show();
  window.activateWindow();
  field->setFocus();
  QCoreApplication::processEvents();
  ASSERT_TRUE(window.isActiveWindow());

  struct CountHides final : QObject {
    int hides = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      hides += event->type() == QEvent::Hide;
      return false;
    }
  } counter;
  window.installEventFilter(&counter);
  for (short flag : {-1, 0, -1}) {
    modOnTop::setOnTop(&window, flag);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), flag == -1);
    EXPECT_EQ(counter.hides, 0);
    EXPECT_TRUE(window.isActiveWindow());
    EXPECT_EQ(window.focusWidget(), field);
  }
}

TEST(SetOnTop, hiddenWindowStaysHidden) {
  QWidget window;
  modOnTop::setOnTop(&window, -1);
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(window.isVisible());
}
