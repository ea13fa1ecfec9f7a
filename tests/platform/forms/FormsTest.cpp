// Protects the forms runtime: one instance per name, load/show/hide/unload, the close box,
// and window geometry in twips with the frame allowance.
#include "platform/forms/Forms.h"
#include "platform/forms/Twips.h"
#include "platform/forms/WindowNames.h"
#include "support/UnknownWindowNames.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

namespace forms = platform::forms;
namespace twips = platform::twips;
using platform::Form;

namespace {

struct Counts {
  int constructed = 0, destroyed = 0, loads = 0, queries = 0, unloads = 0;
  bool visibleDuringLoad = true, refuse = false, unloadAgainFromUnload = false, abandon = false;
} counts;

class ProbeForm final : public Form {
 public:
  ProbeForm() : Form(name()) { ++counts.constructed; }
  ~ProbeForm() override { ++counts.destroyed; }
  static QString name() { return QStringLiteral("Probe"); }

  void Form_Load() override {
    ++counts.loads;
    counts.visibleDuringLoad = isVisible();
    EXPECT_EQ(forms::instance(name()), this);  // reachable by name while it loads
    if (counts.abandon) abandonLoad();
  }
  void Form_QueryUnload(bool& cancel) override {
    ++counts.queries;
    cancel = counts.refuse;
  }
  void Form_Unload() override {
    ++counts.unloads;
    if (counts.unloadAgainFromUnload) forms::unload(name());
  }
};

class Forms : public ::testing::Test {
 protected:
  void SetUp() override {
    counts = {};
    forms::registerForm(ProbeForm::name(), [] { return new ProbeForm; });
  }
  void TearDown() override { forms::resetForTests(); }
};

}  // namespace

TEST_F(Forms, loadOncePerLoadingAndShowOnlyBringsALoadedWindowForward) {
  ProbeForm* form = forms::load<ProbeForm>();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(forms::load<ProbeForm>(), form);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(forms::show<ProbeForm>(), form);
  EXPECT_TRUE(form->isVisible());
  forms::hide<ProbeForm>();
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(forms::isLoaded(ProbeForm::name()));
  forms::show<ProbeForm>();
  EXPECT_TRUE(form->isVisible());
  // Forward from the task bar too: a minimised window comes back as it was before.
  form->setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);
  forms::show<ProbeForm>();
  EXPECT_EQ(form->windowState(), Qt::WindowMaximized);
  EXPECT_EQ(counts.loads, 1);
  EXPECT_EQ(counts.constructed, 1);
  EXPECT_FALSE(counts.visibleDuringLoad);
}

TEST_F(Forms, unloadRunsHandlersAndDestroysSoTheNextLoadStartsFresh) {
  QPointer<ProbeForm> first = forms::show<ProbeForm>();
  forms::unload<ProbeForm>();
  EXPECT_EQ(counts.queries, 1);
  EXPECT_EQ(counts.unloads, 1);
  EXPECT_EQ(forms::instance<ProbeForm>(), nullptr);
  ASSERT_TRUE(first);
  EXPECT_FALSE(first->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull());

  forms::load<ProbeForm>();
  EXPECT_EQ(counts.constructed, 2);
  EXPECT_EQ(counts.loads, 2);
}

TEST_F(Forms, theCloseBoxUnloadsUnlessQueryUnloadRefuses) {
  ProbeForm* form = forms::show<ProbeForm>();
  counts.refuse = true;
  EXPECT_FALSE(form->close());
  forms::unload<ProbeForm>();
  EXPECT_EQ(counts.queries, 2);
  EXPECT_EQ(counts.unloads, 0);
  EXPECT_EQ(forms::instance<ProbeForm>(), form);
  EXPECT_TRUE(form->isVisible());

  counts.refuse = false;
  EXPECT_TRUE(form->close());
  EXPECT_EQ(counts.unloads, 1);
  EXPECT_FALSE(forms::isLoaded(ProbeForm::name()));
}

TEST_F(Forms, unloadFromInsideTheUnloadHandlerRunsItOnce) {
  forms::show<ProbeForm>();
  counts.unloadAgainFromUnload = true;
  forms::unload<ProbeForm>();
  EXPECT_EQ(counts.unloads, 1);
  EXPECT_FALSE(forms::isLoaded(ProbeForm::name()));
}

// A window whose content is missing (the help file, say) must not appear, from any caller, and
// is looked for again on the next request.
TEST_F(Forms, anAbandonedLoadShowsNothingAndTheNextRequestLoadsAgain) {
  counts.abandon = true;
  EXPECT_EQ(forms::show(ProbeForm::name()), nullptr);
  EXPECT_FALSE(forms::isLoaded(ProbeForm::name()));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(counts.destroyed, 1);
  EXPECT_EQ(counts.unloads, 0);
  EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty() ||
              std::none_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                           [](QWidget* w) { return w->isVisible(); }));

  counts.abandon = false;
  Form* shown = forms::show(ProbeForm::name());
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(counts.loads, 2);
  EXPECT_TRUE(shown->isVisible());
}

TEST_F(Forms, unknownOrUnloadedWindowsAreLeftAloneAndResetSkipsHandlers) {
  forms::unload<ProbeForm>();
  EXPECT_EQ(counts.queries, 0);
  EXPECT_EQ(forms::show(platform::windows::kFrmAbout), nullptr);  // a window this program left out
  forms::show<ProbeForm>();
  forms::resetForTests();
  EXPECT_FALSE(forms::isLoaded(ProbeForm::name()));
  EXPECT_EQ(counts.unloads, 0);
  EXPECT_EQ(counts.destroyed, 1);
}

TEST_F(Forms, aNameOfNoWindowGivesNullptrAndFailsTheTest) {
  QStringList slips;
  forms::setUnknownNameHookForTests([&slips](const QString& name) { slips << name; });
  EXPECT_EQ(forms::show(QStringLiteral("From8")), nullptr);
  EXPECT_EQ(forms::instance(QStringLiteral("frmAdd ")), nullptr);
  EXPECT_EQ(forms::load(platform::windows::kForm8), nullptr);  // the design's, not registered here: no slip
  testing_support::failOnUnknownWindowNames();
  EXPECT_EQ(slips, QStringList({QStringLiteral("From8"), QStringLiteral("frmAdd ")}));
}

TEST(Twips, fifteenTwipsPerPixelAtNinetySixDpiRoundedToWholePixels) {
  ASSERT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), 96.0);
  EXPECT_EQ(twips::toPixelsX(1440), 96);
  EXPECT_EQ(twips::toPixelsX(7), 0);
  EXPECT_EQ(twips::toPixelsY(8), 1);
  EXPECT_EQ(twips::fromPixelsX(156), 2340);

  QWidget parent;
  auto* button = new QPushButton(&parent);
  twips::setGeometry(button, 60, 1140, 2355, 795);
  EXPECT_EQ(button->geometry(), QRect(4, 76, 157, 53));
  twips::setTop(button, 2450);
  EXPECT_EQ(twips::top(button), 2445);  // 163 pixels
  EXPECT_EQ(twips::left(button), 60);
  EXPECT_EQ(twips::height(button), 795);
}

TEST(FormGeometry, outerSizeIsClientPlusTheFrameAllowanceAndAFixedBorderKeepsIt) {
  Form form(QStringLiteral("Sized"));
  form.setFixedBorder();
  form.setClientSizeTwips(6825, 1800);
  EXPECT_EQ(form.clientWidthTwips(), 6825);
  EXPECT_EQ(form.outerWidthTwips(), 6825 + Form::frameWidthTwips());
  EXPECT_EQ(form.outerHeightTwips(), 1800 + Form::frameHeightTwips());
  form.setOuterHeightTwips(3505);  // whole pixels: within half a pixel's twips
  EXPECT_NEAR(form.clientHeightTwips(), 3505 - Form::frameHeightTwips(), 7);
  EXPECT_EQ(form.clientWidthTwips(), 6825);
  EXPECT_EQ(form.minimumSize(), form.size());
  EXPECT_EQ(form.maximumSize(), form.size());
  EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

TEST(FormGeometry, theMenuBarAddsToTheOuterHeightAndLeavesTheClientAlone) {
  Form form(QStringLiteral("WithMenu"));
  form.setClientSizeTwips(9015, 6555);
  auto* help = new QMenu(QStringLiteral("Help"), &form);  // owned by the window, and gone before the bar
  QMenuBar* bar = form.menuBar();
  bar->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Exit"));
  bar->addMenu(help);
  ASSERT_GT(bar->height(), 0);
  EXPECT_EQ(form.clientHeightTwips(), 6555);
  EXPECT_EQ(form.client()->y(), bar->height());
  const int menuTwips = twips::fromPixelsY(bar->height());
  EXPECT_NEAR(form.outerHeightTwips(), 6555 + Form::frameHeightTwips() + menuTwips, 15);
  form.setOuterHeightTwips(5000);
  EXPECT_NEAR(form.clientHeightTwips(), 5000 - Form::frameHeightTwips() - menuTwips, 15);
}

TEST(FormGeometry, centredWindowsOpenCentredWithTheSizeTheyHaveWhenShown) {
  Form form(QStringLiteral("Centred"));
  form.setClientSizeTwips(3000, 1500);
  form.centreOnScreen();
  form.setOuterHeightTwips(3505);  // a load may resize after centring
  form.show();
  // The real frame once the platform knows it, else the runtime's allowance.
  const QSize outer = form.frameGeometry().size() != form.size()
                          ? form.frameGeometry().size()
                          : QSize(twips::toPixelsX(form.outerWidthTwips()), twips::toPixelsY(form.outerHeightTwips()));
  const QPoint centre = form.frameGeometry().topLeft() + QPoint(outer.width() / 2, outer.height() / 2);
  const QPoint wanted = QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((centre - wanted).manhattanLength(), 3);
}
