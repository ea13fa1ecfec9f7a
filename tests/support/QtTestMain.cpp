// The main of test executables that need widgets: a QApplication on the offscreen platform
// (unless the environment picks another), with Qt's standard paths in test mode so that no
// test reaches the user's own configuration; a window name that reaches no window fails the test.
#include "support/UnknownWindowNames.h"

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  testing_support::failOnUnknownWindowNames();
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
