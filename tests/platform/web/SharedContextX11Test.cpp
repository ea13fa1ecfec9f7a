// Protects what the browser's graphics cost a start on a real X server (run under Xvfb): no GL
// driver until the first navigation, which then makes the context the engine draws through.
#include "platform/web/WebBrowser.h"

#include "support/WaitFor.h"

#include <QOpenGLContext>
#include <QWindow>

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

bool glDriverLoaded() {
  void* driver = ::dlopen("libGLX_mesa.so.0", RTLD_LAZY | RTLD_NOLOAD);
  if (driver) ::dlclose(driver);
  return driver != nullptr;
}

}  // namespace

TEST(SharedGraphicsContext, isMadeAtTheFirstNavigationNotAtTheStart) {
  platform::WebBrowser browser;
  browser.resize(640, 480);
  browser.show();
  ASSERT_TRUE(testing_support::waitFor([&] { return browser.windowHandle() && browser.windowHandle()->isExposed(); }));
  EXPECT_FALSE(glDriverLoaded());

  int completions = 0;
  QObject::connect(&browser, &platform::WebBrowser::DownloadComplete, [&] { ++completions; });
  browser.Navigate(QString());
  EXPECT_TRUE(glDriverLoaded());
  ASSERT_NE(QOpenGLContext::globalShareContext(), nullptr);
  EXPECT_TRUE(QOpenGLContext::globalShareContext()->isValid());
  EXPECT_TRUE(testing_support::waitFor([&] { return completions > 0; }, 20000));
}
