// Protects the browser control on its web engine: how a typed address is read, that a failed
// navigation is reported once, commands with nothing to act on, the status text on a hovered
// link, certificate errors, and what it keeps from the user's disk (downloads, local files,
// anything left behind).
#include "support/web/LoopbackWebServer.h"

#include "platform/web/WebBrowser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QStandardPaths>

#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace browser_test {
extern std::string home;
}

namespace {

// Pages load in another process: give them time on a busy machine.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 20000) {
  return testing_support::waitFor(condition, timeoutMs);
}

std::vector<std::string> filesUnder(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (!entry.is_directory()) files.push_back(entry.path().string());
  return files;
}

class BrowserControl : public ::testing::Test {
 protected:
  void SetUp() override {
    // What earlier tests of this process left (Chromium's shared certificate store, created at
    // the first secure connection, is not the profile's).
    homeBefore = filesUnder(browser_test::home);
    browser = std::make_unique<platform::WebBrowser>();
    browser->resize(640, 480);
    browser->show();
    QObject::connect(browser.get(), &platform::WebBrowser::DownloadComplete, [this] { ++completions; });
    QObject::connect(browser.get(), &platform::WebBrowser::StatusTextChange,
                     [this](const QString& text) { statusTexts.push_back(text); });
  }

  // Navigates and waits until the navigation has been reported finished.
  void open(const QString& typed) {
    const int before = completions;
    browser->Navigate(typed);
    ASSERT_TRUE(waitFor([&] { return completions > before; })) << typed.toStdString();
  }
  // Lets events run a while, to see that nothing more arrives.
  static void settle(int ms = 500) {
    waitFor([] { return false; }, ms);
  }

  LoopbackWebServer server;
  std::unique_ptr<platform::WebBrowser> browser;
  int completions = 0;
  std::vector<QString> statusTexts;
  std::vector<std::string> homeBefore;
};

}  // namespace

// Without its engine module the control says so where the window shows its status, and the
// navigation ends; nothing is looked for elsewhere (an installed program has no build folder).
TEST(BrowserWithoutEngine, saysSoInTheStatusAndEndsTheNavigation) {
  platform::WebBrowser::setEngineModuleForTests(QStringLiteral("/nonexistent/keyloft-webengine.so"));
  platform::WebBrowser browser;
  QStringList said;
  int completions = 0;
  QObject::connect(&browser, &platform::WebBrowser::StatusTextChange, [&](const QString& text) { said << text; });
  QObject::connect(&browser, &platform::WebBrowser::DownloadComplete, [&] { ++completions; });
  browser.Navigate(QStringLiteral("https://www.keyloft.app/"));
  platform::WebBrowser::setEngineModuleForTests(QStringLiteral(KEYLOFT_WEBENGINE_MODULE));
  EXPECT_EQ(said, QStringList{QStringLiteral("Cannot open web pages: The web browser part of Keyloft "
                                             "(keyloft-webengine.so) is not installed beside the program.")});
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(browser.LocationURL().isEmpty());
}

// Reading typed addresses

TEST(TypedAddress, isReadAsAUserTypesItIntoABrowser) {
  const struct {
    const char* typed;
    const char* address;
  } cases[] = {
      {"www.keyloft.app", "https://www.keyloft.app"},  // a bare site name goes to the secure site
      {"  www.keyloft.app  ", "https://www.keyloft.app"},
      {"http://www.keyloft.app/", "http://www.keyloft.app/"},  // a typed scheme is kept
      {"https://www.keyloft.app/a?b=c#d", "https://www.keyloft.app/a?b=c#d"},
      {"127.0.0.1:8080/one", "http://127.0.0.1:8080/one"},  // loopback serves no https
      {"localhost:8080", "http://localhost:8080"},
      {"[::1]:8080/x", "http://[::1]:8080/x"},
      {"127.example.org", "https://127.example.org"},  // a name that only starts like an address
      {"", "about:blank"},                             // nothing typed: the empty page
      {"   ", "about:blank"},
      {"about:blank", "about:blank"},
      {"file:///tmp/page.html", "file:///tmp/page.html"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(platform::WebBrowser::addressFromTyped(QString::fromUtf8(c.typed)).toString().toStdString(), c.address)
        << "typed: '" << c.typed << "'";
}

// What the window's tests do not reach

TEST_F(BrowserControl, aFailedNavigationIsReportedOnceAndSaysSo) {
  QTcpServer closed;
  closed.listen(QHostAddress::LocalHost, 0);
  const QString address = QStringLiteral("http://127.0.0.1:") + QString::number(closed.serverPort()) + u'/';
  closed.close();
  open(address);
  settle();
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(statusTexts.back().startsWith(QStringLiteral("Could not open ") + address))
      << statusTexts.back().toStdString();
}

TEST_F(BrowserControl, commandsWithNothingToActOnAreQuietlyIgnored) {
  // Before any page: no engine yet, nothing happens.
  browser->GoBack();
  browser->GoForward();
  browser->Stop();
  browser->Refresh();
  EXPECT_EQ(browser->LocationURL(), QString());
  // One page shown: no history either way, nothing loading.
  open(server.address(QStringLiteral("/one")));
  browser->GoBack();
  browser->GoForward();
  browser->Stop();
  settle();
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(browser->LocationURL(), server.address(QStringLiteral("/one")));
  EXPECT_EQ(server.requests(QStringLiteral("/one")), 1);
}

TEST_F(BrowserControl, theStatusTextShowsAHoveredLinkAndThenHowTheLoadStands) {
  open(server.address(QStringLiteral("/one")));
  // The page view lies under the control's own widget; the link is the page's first line.
  const auto moveTo = [&](QPoint at) {
    QWidget* view = browser->childAt(at);
    ASSERT_NE(view, nullptr);
    QMouseEvent move(QEvent::MouseMove, view->mapFrom(browser.get(), at),
                     view->mapToGlobal(view->mapFrom(browser.get(), at)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
  };
  moveTo(QPoint(20, 15));
  EXPECT_TRUE(waitFor([&] { return statusTexts.back() == server.address(QStringLiteral("/two")); }));
  moveTo(QPoint(400, 300));
  EXPECT_TRUE(waitFor([&] { return statusTexts.back() == QStringLiteral("Done"); }));
}

// What the browser keeps from the disk

TEST_F(BrowserControl, aDownloadIsRefusedAndNothingIsWritten) {
  open(server.address(QStringLiteral("/one")));
  browser->Navigate(server.address(QStringLiteral("/download")));
  ASSERT_TRUE(waitFor([&] { return statusTexts.back() == QStringLiteral("Download refused: secret.bin"); }));
  settle();
  EXPECT_EQ(statusTexts.back(), QStringLiteral("Download refused: secret.bin"));
  EXPECT_EQ(filesUnder(browser_test::home), homeBefore);
}

TEST_F(BrowserControl, aCertificateErrorIsNotPassedOver) {
  LoopbackWebServer secure(LoopbackWebServer::Transport::SelfSignedTls);
  open(secure.address(QStringLiteral("/one")));
  settle();
  EXPECT_EQ(secure.requests(QStringLiteral("/one")), 0);
  EXPECT_NE(browser->LocationName(), QStringLiteral("Page One"));
  EXPECT_TRUE(statusTexts.back().startsWith(QStringLiteral("Certificate error, page not opened: ")))
      << statusTexts.back().toStdString();
}

TEST_F(BrowserControl, aPageCannotReadLocalFiles) {
  open(server.address(QStringLiteral("/files")));
  ASSERT_TRUE(waitFor([&] { return browser->LocationName() != QStringLiteral("trying"); }));
  EXPECT_EQ(browser->LocationName(), QStringLiteral("blocked"));
}

TEST_F(BrowserControl, aSessionWithCookiesAndStorageLeavesNothingUnderTheHome) {
  open(server.address(QStringLiteral("/cookie")));
  // The cookie really was kept for the session, so there was something to write.
  open(server.address(QStringLiteral("/cookie-check")));
  ASSERT_TRUE(waitFor([&] { return browser->LocationName().startsWith(QStringLiteral("cookie:")); }));
  EXPECT_EQ(browser->LocationName(), QStringLiteral("cookie:session=abc123"));
  browser.reset();
  settle(1000);
  EXPECT_EQ(filesUnder(browser_test::home), homeBefore);
}
