// The browser tests' main: a home folder of their own, empty at the start, so that a test can
// show that a browsing session leaves nothing in it; then a QApplication as the program makes it.
#include "platform/web/WebBrowser.h"
#include "support/UnknownWindowNames.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace browser_test {
std::string home;
}

// Under AddressSanitizer: Chromium inside Debian's libQt6WebEngineCore frees some objects with a
// sized delete of another size, which is no fault of ours; that one check is off for these tests.
// Its own allocations that live as long as the process are no leak of ours either: leak detection
// is off for the browser's test programs alone.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0:detect_leaks=0"; }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  char pattern[] = "/tmp/keyloft-browser-home-XXXXXX";
  browser_test::home = ::mkdtemp(pattern);
  for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
    ::unsetenv(name);
  ::setenv("HOME", browser_test::home.c_str(), 1);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  // The tests run from their own folder; the engine is where the build put it.
  platform::WebBrowser::setEngineModuleForTests(QStringLiteral(KEYLOFT_WEBENGINE_MODULE));
  platform::WebBrowser::reserveSharedGraphicsContext();
  testing_support::failOnUnknownWindowNames();
  int result = 0;
  {
    QApplication app(argc, argv);
    result = RUN_ALL_TESTS();
  }
  std::error_code ignored;
  std::filesystem::remove_all(browser_test::home, ignored);
  return result;
}
