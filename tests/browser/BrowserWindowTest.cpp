// Protects the browser window in the program: its load steps, where the first and later visits
// go, the address box and buttons, the layout arithmetic, the program's end through it, and that
// nothing of the web engine runs before the first visit.
#include "support/ProgramHarness.h"
#include "support/web/LoopbackWebServer.h"

#include "browser/frmWebsite.h"
#include "platform/forms/Twips.h"
#include "platform/web/WebBrowser.h"
#include "skin/Skin.h"
#include "skin/SkinLabel.h"
#include "skin/SkinSession.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QStyleOptionButton>

using namespace program_test;
namespace tw = platform::twips;

namespace {

class BrowserWindow : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // The product's own addresses lead to the test's pages; nothing else but the loopback
    // server and the empty page may be asked for.
    platform::WebBrowser::setAddressRewriteForTests([this](const QString& typed) {
      navigations.push_back(typed);
      if (typed == QStringLiteral("https://www.keyloft.app/")) return server.address(QStringLiteral("/one"));
      if (typed == QStringLiteral("www.keyloft.app")) return server.address(QStringLiteral("/two"));
      const QString host = platform::WebBrowser::addressFromTyped(typed).host();
      if (!host.isEmpty() && host != QStringLiteral("127.0.0.1")) {
        ADD_FAILURE() << "a test asked for " << typed.toStdString();
        return QString();
      }
      return typed;
    });
  }
  void TearDown() override {
    platform::WebBrowser::setAddressRewriteForTests({});
    ProgramTest::TearDown();
  }

  void startToMainWindow() {
    writeVault(vaultImage("abcd", {}));
    startToGate();
    enter(QStringLiteral("abcd"));
    ASSERT_NE(mainWindow(), nullptr);
  }
  frmWebsite* browser() const { return forms::instance<frmWebsite>(); }
  frmWebsite* visit() {
    mainWindow()->cmdWebsite[0]->click();
    return browser();
  }
  // Waits until the page with this title is shown and reported.
  bool shows(const QString& title) {
    return waitFor([&] { return browser() && browser()->caption() == title; }, 20000);
  }

  LoopbackWebServer server;
  std::vector<QString> navigations;
};

// The process's own memory map names every library it has loaded.
bool webEngineMapped() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

// Any process started from this one that runs the web engine's helper.
bool webEngineHelperRunning() {
  const QString self = QString::number(QCoreApplication::applicationPid());
  for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    QFile status(QStringLiteral("/proc/") + pid + QStringLiteral("/status"));
    if (!status.open(QIODevice::ReadOnly)) continue;
    const QByteArray text = status.readAll();
    if (text.contains("QtWebEngineProc") && text.contains(QByteArray(QByteArray("PPid:\t") + self.toLatin1() + '\n')))
      return true;
  }
  return false;
}

}  // namespace

// Opening the window

TEST_F(BrowserWindow, nothingOfTheWebEngineRunsBeforeTheFirstVisit) {
  if (platform::WebBrowser::engineLoaded()) GTEST_SKIP() << "an earlier test in this process opened the browser";
  startToMainWindow();
  EXPECT_FALSE(webEngineMapped());
  EXPECT_FALSE(webEngineHelperRunning());
  visit();
  EXPECT_TRUE(webEngineMapped());
  EXPECT_TRUE(shows(QStringLiteral("Page One")));
  EXPECT_TRUE(webEngineHelperRunning());
}

TEST_F(BrowserWindow, loadTakesTheStepsInOrderAndOpensMaximisedOnTheProductsAddress) {
  startToMainWindow();
  modLivery::productSiteName.clear();  // the load reads the identity again
  frmWebsite* w = visit();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_TRUE(w->isMaximized());
  EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(w->caption(), QStringLiteral("www.keyloft.app"));
  EXPECT_EQ(w->StatusBar1->panelCount(), 2);
  EXPECT_EQ(navigations, std::vector<QString>{QStringLiteral("https://www.keyloft.app/")});
  EXPECT_EQ(frmWebsite::browserMode, QStringLiteral("Website"));
  // The one plain label in the template's frame is covered by a skin label.
  ASSERT_EQ(w->SkinLabel1.size(), 2);
  EXPECT_EQ(w->SkinLabel1[1]->text(), QStringLiteral("URL:"));
  EXPECT_EQ(w->SkinLabel1[1]->parentWidget(), w->frmBrowser);
  EXPECT_EQ(w->SkinLabel1[1]->geometry(), w->Label5->geometry());
  EXPECT_TRUE(modSkin::skin);  // dressed by the run's skin, the splash's
  // No caption is cut: each fits beside its picture in its button's contents, in the window's face.
  for (QPushButton* b : {w->Command3, w->Command4, w->Command5, w->Command6, w->Command7}) {
    QStyleOptionButton option;
    option.initFrom(b);
    const int contents = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b).width();
    EXPECT_LE(b->iconSize().width() + 4 + b->fontMetrics().horizontalAdvance(b->text()), contents)
        << b->text().toStdString();
    EXPECT_EQ(b->font().family(), w->font().family());
  }

  // The page's arrival fills the address box and the caption.
  ASSERT_TRUE(shows(QStringLiteral("Page One")));
  EXPECT_EQ(w->Text1->text(), server.address(QStringLiteral("/one")));
  EXPECT_EQ(w->StatusBar1->panelText(1), QStringLiteral("Done"));
}

TEST_F(BrowserWindow, theFirstVisitOpensTheWebAddressAndLaterOnesTheSiteName) {
  startToMainWindow();
  visit();
  ASSERT_TRUE(shows(QStringLiteral("Page One")));
  // Visit again while open: only brought forward, no second load or navigation.
  frmWebsite* first = browser();
  EXPECT_EQ(visit(), first);
  EXPECT_EQ(first->StatusBar1->panelCount(), 2);

  first->close();
  EXPECT_FALSE(forms::isLoaded(frmWebsite::name()));
  EXPECT_EQ(programEnds, 0);  // closed while the main window is open: the program goes on
  visit();
  EXPECT_TRUE(shows(QStringLiteral("Page Two")));
  EXPECT_EQ(navigations,
            (std::vector<QString>{QStringLiteral("https://www.keyloft.app/"), QStringLiteral("www.keyloft.app")}));
}

// The address box and the buttons

TEST_F(BrowserWindow, goAndEnterNavigateAsTypedAndTheButtonsMoveThroughTheHistory) {
  startToMainWindow();
  frmWebsite* w = visit();
  ASSERT_TRUE(shows(QStringLiteral("Page One")));
  std::vector<QString> statusTexts;
  QObject::connect(w->WebBrowser1, &platform::WebBrowser::StatusTextChange,
                   [&](const QString& text) { statusTexts.push_back(text); });
  w->Text1->setText(server.typed(QStringLiteral("/two")));
  w->Command3->click();
  ASSERT_TRUE(shows(QStringLiteral("Page Two")));
  EXPECT_EQ(w->Text1->text(), server.address(QStringLiteral("/two")));  // the address as the page has it
  EXPECT_EQ(statusTexts.front(),
            QStringLiteral("Opening page ") + server.address(QStringLiteral("/two")) + QStringLiteral("..."));
  EXPECT_EQ(w->StatusBar1->panelText(1), QStringLiteral("Done"));

  w->Command4->click();
  ASSERT_TRUE(shows(QStringLiteral("Page One")));
  EXPECT_EQ(w->Text1->text(), server.address(QStringLiteral("/one")));
  w->Command5->click();
  ASSERT_TRUE(shows(QStringLiteral("Page Two")));
  w->Command7->click();
  EXPECT_TRUE(waitFor([&] { return server.requests(QStringLiteral("/two")) == 2; }));
  ASSERT_TRUE(waitFor([&] { return w->StatusBar1->panelText(1) == QStringLiteral("Done"); }, 20000));

  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  w->Text1->setText(QStringLiteral(" ") + server.address(QStringLiteral("/slow")));
  QCoreApplication::sendEvent(w->Text1, &enter);
  ASSERT_TRUE(waitFor([&] { return server.requests(QStringLiteral("/slow")) == 1; }));
  // Stop acts on a load under way, as the user sees it: once the page has said it is opening.
  const QString openingSlow = QStringLiteral("Opening page ") + server.address(QStringLiteral("/slow"));
  ASSERT_TRUE(waitFor([&] { return w->StatusBar1->panelText(1).startsWith(openingSlow); }, 20000));
  w->Command6->click();
  EXPECT_TRUE(waitFor([&] { return w->StatusBar1->panelText(1) == QStringLiteral("Stopped"); }, 20000))
      << w->StatusBar1->panelText(1).toStdString();

  // An empty box gives the empty page.
  w->Text1->clear();
  QCoreApplication::sendEvent(w->Text1, &enter);
  EXPECT_TRUE(waitFor([&] { return w->Text1->text() == QStringLiteral("about:blank"); }, 20000));
  EXPECT_EQ(navigations,
            (std::vector<QString>{QStringLiteral("https://www.keyloft.app/"), server.typed(QStringLiteral("/two")),
                                  QStringLiteral(" ") + server.address(QStringLiteral("/slow")), QString()}));
}

// Layout

TEST_F(BrowserWindow, layoutFollowsTheWindowsOuterSizeWithAbsoluteValues) {
  startToMainWindow();
  frmWebsite* w = visit();
  const struct {
    int W, H;
    int panel, frameWidth, frameHeight, text1Width, goLeft, pageWidth, pageHeight;
  } sizes[] = {
      {10785, 9030, 5392, 10485, 8715, 8850, 9490, 10265, 6460},
      {19200, 14400, 9600, 18900, 14085, 17265, 17905, 18680, 11830},
      {200, 6000, 100, 100, 5685, 1535, 2175, 120, 3430},  // narrower than the 300 twips margin
      {1000, 1200, 500, 700, 885, 935, 1575, 480, 1370},   // lower than the page's top and margins
      {301, 315, 150, 1, 0, 1634, 2274, 219, 2255},
  };
  for (const auto& s : sizes) {
    w->layoutBrowser(s.W, s.H);
    SCOPED_TRACE(testing::Message() << s.W << " x " << s.H);
    EXPECT_NEAR(w->StatusBar1->panelWidthTwips(1), s.panel, 15);
    EXPECT_NEAR(w->StatusBar1->panelWidthTwips(2), s.panel, 15);
    EXPECT_NEAR(tw::width(w->frmBrowser), s.frameWidth, 15);
    EXPECT_NEAR(tw::height(w->frmBrowser), s.frameHeight, 15);
    EXPECT_NEAR(tw::width(w->Text1), s.text1Width, 15);
    EXPECT_NEAR(tw::left(w->Command3), s.goLeft, 15);
    EXPECT_NEAR(tw::width(w->WebBrowser1), s.pageWidth, 15);
    EXPECT_NEAR(tw::height(w->WebBrowser1), s.pageHeight, 15);
    // Everything else keeps its design place.
    EXPECT_NEAR(tw::left(w->Text1), 540, 15);
    EXPECT_NEAR(tw::top(w->Command3), 240, 15);
    EXPECT_NEAR(tw::left(w->WebBrowser1), 120, 15);
    EXPECT_NEAR(tw::top(w->WebBrowser1), 1140, 15);
    const QPushButton* fixed[] = {w->Command4, w->Command5, w->Command6, w->Command7};
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(tw::left(fixed[i]), 540 + 1080 * i, 15);
      EXPECT_NEAR(tw::top(fixed[i]), 600, 15);
    }
  }
}

TEST_F(BrowserWindow, resizingTheWindowLaysItOutAgain) {
  startToMainWindow();
  frmWebsite* w = visit();
  w->showNormal();
  for (const int width : {6000, 9000}) {
    w->setOuterSizeTwips(width, 7000);
    ASSERT_TRUE(waitFor([&] { return std::abs(tw::width(w->frmBrowser) - (w->outerWidthTwips() - 300)) <= 15; }));
    EXPECT_NEAR(tw::height(w->frmBrowser), w->outerHeightTwips() - 315, 15);
    // The status bar stays along the bottom edge, in front of the frame that reaches over it.
    EXPECT_NEAR(tw::top(w->StatusBar1) + 315, w->clientHeightTwips(), 15);
    const QWidget* shown = w->client()->childAt(w->StatusBar1->geometry().center());
    EXPECT_TRUE(shown == w->StatusBar1 || w->StatusBar1->isAncestorOf(shown));
  }
}

// The program's end

TEST_F(BrowserWindow, closingTheMainWindowLeavesTheProgramToTheBrowserUntilItCloses) {
  startToMainWindow();
  frmWebsite* w = visit();
  ASSERT_TRUE(SkinSession::instance().started());
  mainWindow()->close();
  EXPECT_FALSE(forms::isLoaded(Form1::name()));
  EXPECT_TRUE(app::endWhenBrowserCloses);
  EXPECT_EQ(programEnds, 0);
  EXPECT_TRUE(SkinSession::instance().started());
  ASSERT_TRUE(shows(QStringLiteral("Page One")));  // still browsing

  w->close();
  EXPECT_EQ(programEnds, 1);
  EXPECT_FALSE(SkinSession::instance().started());  // the companion's closing call came first
}
