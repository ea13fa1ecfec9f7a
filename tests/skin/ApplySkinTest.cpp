// Protects the dressing of windows: colours by control type, the skin taking the window over,
// nothing at all while the skin switch is off, and the recovery through the splash window
// (loading it, leaving it hidden and stopped, never waiting without end).
#include "SkinTestWindow.h"

#include "app/modLivery.h"
#include "app/RunState.h"
#include "platform/forms/Controls.h"
#include "platform/forms/ListView.h"
#include "platform/forms/Timer.h"
#include "skin/modSkin.h"
#include "skin/Skin.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kPanel(235, 235, 235);

// A window with one control of each kind the colouring tells apart.
struct ControlsWindow {
  SkinTestWindow window;
  QPushButton* button = new QPushButton(QStringLiteral("OK"), window.client());
  QLineEdit* text = new QLineEdit(window.client());
  QComboBox* combo = new QComboBox(window.client());
  platform::ListView* list = new platform::ListView(window.client());
  QLabel* picture = new QLabel(window.client());
  QGroupBox* frame = new QGroupBox(QStringLiteral("Frame"), window.client());
  QLabel* label = new QLabel(QStringLiteral("Label"), window.client());
  QCheckBox* check = new QCheckBox(QStringLiteral("Check"), window.client());
  platform::Timer* timer = new platform::Timer(window.client());
  // Controls inside a frame belong to the window as well.
  QLineEdit* framedText = new QLineEdit(frame);

  ControlsWindow() {
    platform::setControlTypeName(picture, QStringLiteral("PictureBox"));
    window.setClientSizeTwips(6000, 4000);
  }
};

QColor colour(QWidget* w, QPalette::ColorRole role) { return w->palette().color(role); }

// A splash window for the recovery: its load sets the skin reference to its own skin (unless
// told to fail) and enables its timer (unless told not to).
class FakeSplash : public platform::Form {
 public:
  FakeSplash() : Form(name()), skn(new Skin(this)), Timer2(new platform::Timer(this)) { Timer2->setInterval(2); }
  static QString name() { return QStringLiteral("frmSplash"); }
  void Form_Load() override {
    ++loads;
    if (giveSkin) modSkin::skin = skn;
    if (enableTimer) Timer2->setEnabled(true);
  }
  Skin* skn;
  platform::Timer* Timer2;
  static inline int loads = 0;
  static inline bool giveSkin = true;
  static inline bool enableTimer = true;
};

// The lines the skin's logging category writes while `act` runs, under the given rules.
QStringList skinLogLines(const QString& rules, const std::function<void()>& act) {
  static QStringList* lines = nullptr;
  QStringList caught;
  lines = &caught;
  QLoggingCategory::setFilterRules(rules);
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext& where, const QString& text) {
        if (QLatin1String(where.category) == u"keyloft.skin") lines->append(text);
      });
  act();
  qInstallMessageHandler(previous);
  QLoggingCategory::setFilterRules(QString());
  return caught;
}

FakeSplash* splash() { return platform::forms::instance<FakeSplash>(); }

class ApplySkin : public testing::Test {
 protected:
  void SetUp() override {
    modLivery::useSkin = true;
    FakeSplash::loads = 0;
    FakeSplash::giveSkin = true;
    FakeSplash::enableTimer = true;
    platform::forms::registerForm(QStringLiteral("frmSplash"), [] { return new FakeSplash; });
    modSkin::SplashAccess access;
    access.isLoaded = [] { return platform::forms::isLoaded(QStringLiteral("frmSplash")); };
    access.load = [] { platform::forms::load(QStringLiteral("frmSplash")); };
    access.timerEnabled = [] { return splash() && splash()->Timer2->enabled(); };
    access.disableTimer = [] {
      if (splash()) splash()->Timer2->setEnabled(false);
    };
    access.hide = [] { platform::forms::hide(QStringLiteral("frmSplash")); };
    modSkin::setSplashAccess(std::move(access));
  }
  void TearDown() override {
    platform::forms::resetForTests();
    modSkin::resetForTests();
    app::resetForTests();
  }
};

}  // namespace

// Colours by control type

TEST_F(ApplySkin, coloursEachControlTypeAsDesigned) {
  ControlsWindow w;
  const QColor frameBefore = colour(w.frame, QPalette::Window);
  const QColor labelBefore = colour(w.label, QPalette::WindowText);
  const QColor checkBefore = colour(w.check, QPalette::Base);
  // Distinct values show which colour went where: back, fore, panel, panel text.
  ASSERT_TRUE(modSkin::recolourControls(&w.window, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF));

  EXPECT_EQ(colour(w.button, QPalette::Button), QColor(255, 0, 0));
  EXPECT_NE(colour(w.button, QPalette::ButtonText), QColor(0, 255, 0));
  for (QWidget* box : {static_cast<QWidget*>(w.text), static_cast<QWidget*>(w.combo), static_cast<QWidget*>(w.list),
                       static_cast<QWidget*>(w.framedText)}) {
    EXPECT_EQ(colour(box, QPalette::Base), QColor(255, 0, 0)) << box->metaObject()->className();
    EXPECT_EQ(colour(box, QPalette::Text), QColor(0, 255, 0)) << box->metaObject()->className();
  }
  EXPECT_EQ(colour(w.picture, QPalette::Window), QColor(0, 0, 255));
  EXPECT_TRUE(w.picture->autoFillBackground());
  EXPECT_NE(colour(w.picture, QPalette::Base), QColor(255, 0, 0));

  EXPECT_EQ(colour(w.frame, QPalette::Window), frameBefore);
  EXPECT_EQ(colour(w.label, QPalette::WindowText), labelBefore);
  EXPECT_EQ(colour(w.check, QPalette::Base), checkBefore);
  EXPECT_FALSE(w.frame->testAttribute(Qt::WA_SetPalette));
  EXPECT_FALSE(w.label->testAttribute(Qt::WA_SetPalette));
  EXPECT_FALSE(w.check->testAttribute(Qt::WA_SetPalette));
  // The panel text colour is handed over and used by none of them.
  for (QWidget* any : w.window.findChildren<QWidget*>())
    EXPECT_NE(colour(any, QPalette::WindowText), QColor(255, 255, 0)) << any->metaObject()->className();
}

TEST_F(ApplySkin, theProgramsColoursShowThroughTheSkinsStyle) {
  testing_support::TempFolder folder;
  Skin skin(writeTestSkin(folder, testSkinText()));
  modSkin::skin = &skin;
  ControlsWindow w;
  w.text->setGeometry(10, 10, 120, 24);
  w.list->setGeometry(10, 40, 200, 120);
  w.picture->setGeometry(220, 40, 60, 60);
  w.window.show();
  ASSERT_TRUE(modSkin::applySkin(&w.window));
  modSkin::companionStart(&skin);  // the application-wide rules must not hide them either
  ASSERT_FALSE(qApp->styleSheet().isEmpty());

  const auto pixel = [](QWidget* control, QPoint at) { return control->grab().toImage().pixelColor(at); };
  const QColor back(0xFF, 0xC0, 0x80);
  EXPECT_EQ(pixel(w.text, QPoint(60, 12)), back);
  EXPECT_EQ(pixel(w.list->viewport(), QPoint(100, 80)), back);
  EXPECT_EQ(pixel(w.picture, QPoint(30, 30)), QColor(0xC0, 0xFF, 0xC0));
}

// The skin switch

TEST_F(ApplySkin, switchedOffTheSkinTouchesNothingAndNeedsNoSplash) {
  modLivery::useSkin = false;
  ControlsWindow w;
  EXPECT_TRUE(modSkin::applySkin(&w.window));  // no skin reference: would otherwise go to the splash
  EXPECT_EQ(FakeSplash::loads, 0);
  EXPECT_FALSE(w.button->testAttribute(Qt::WA_SetPalette));
  EXPECT_FALSE(w.text->testAttribute(Qt::WA_SetPalette));
  EXPECT_TRUE(w.window.styleSheet().isEmpty());

  Skin skin;
  modSkin::companionStart(&skin);
  EXPECT_TRUE(qApp->styleSheet().isEmpty());
}

// Recovery through the splash window

TEST_F(ApplySkin, anEmptyReferenceLoadsTheSplashLeavesItHiddenAndStoppedAndDresses) {
  ControlsWindow w;
  ASSERT_TRUE(modSkin::applySkin(&w.window));

  EXPECT_EQ(FakeSplash::loads, 1);
  ASSERT_NE(splash(), nullptr);
  EXPECT_FALSE(splash()->isVisible());
  EXPECT_FALSE(splash()->Timer2->enabled());
  EXPECT_EQ(modSkin::skin.data(), splash()->skn);
  EXPECT_EQ(colour(w.text, QPalette::Base), kWhite);
  EXPECT_TRUE(w.window.property("skinWindow").toBool());
}

TEST_F(ApplySkin, aSecondFailureGoesToTheCaller) {
  FakeSplash::giveSkin = false;
  SkinTestWindow window;
  EXPECT_FALSE(modSkin::applySkin(&window));
  EXPECT_EQ(FakeSplash::loads, 1);
  ASSERT_NE(splash(), nullptr);
  EXPECT_FALSE(splash()->Timer2->enabled());
  EXPECT_FALSE(window.property("skinWindow").toBool());
}

TEST_F(ApplySkin, aSplashThatIsAlreadyLoadedIsNotWaitedFor) {
  // After start-up: the splash is loaded and stopped, and its skin has gone.
  platform::forms::load(QStringLiteral("frmSplash"));
  splash()->Timer2->setEnabled(false);
  modSkin::skin.clear();
  SkinTestWindow window;
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(modSkin::applySkin(&window));
  EXPECT_LT(clock.elapsed(), 1000);
  EXPECT_EQ(FakeSplash::loads, 1);
}

TEST_F(ApplySkin, theSplashFailingToDressItselfIsReportedNotRecoveredAgain) {
  // Inside the splash's own load, its dressing fails: no second recovery starts there.
  class SelfDressingSplash final : public FakeSplash {
   public:
    void Form_Load() override {
      EXPECT_FALSE(modSkin::applySkin(this));  // the reference is still empty
      FakeSplash::Form_Load();
    }
  };
  FakeSplash::giveSkin = false;
  platform::forms::registerForm(QStringLiteral("frmSplash"), [] { return new SelfDressingSplash; });
  SkinTestWindow window;
  EXPECT_FALSE(modSkin::applySkin(&window));
  EXPECT_EQ(FakeSplash::loads, 1);
}

// Failures passed over

TEST_F(ApplySkin, whatIsPassedOverLeavesADebugLineOnlyWhenItsCategoryIsSwitchedOn) {
  FakeSplash::giveSkin = false;
  const auto passOver = [] {
    SkinTestWindow window;
    modSkin::applySkinOrLeaveUndressed(&window);
    modSkin::companionStart(nullptr);
  };
  EXPECT_TRUE(skinLogLines(QString(), passOver).isEmpty());
  platform::forms::resetForTests();
  platform::forms::registerForm(QStringLiteral("frmSplash"), [] { return new FakeSplash; });
  const QStringList lines = skinLogLines(QStringLiteral("keyloft.skin.debug=true"), passOver);
  ASSERT_EQ(lines.size(), 3) << lines.join(u'\n').toStdString();
  EXPECT_TRUE(lines[0].contains(QStringLiteral("The skin is not loaded"))) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].contains(QStringLiteral("No skin to hand over"))) << lines[1].toStdString();
  EXPECT_TRUE(lines[2].contains(QStringLiteral("no skin to start with"))) << lines[2].toStdString();
}

TEST_F(ApplySkin, theWaitForTheSplashTimerIsBounded) {
  FakeSplash::enableTimer = false;
  SkinTestWindow window;
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(modSkin::applySkin(&window));
  EXPECT_GE(clock.elapsed(), modSkin::kRecoveryWaitMs);
  EXPECT_LT(clock.elapsed(), 4 * modSkin::kRecoveryWaitMs);
}
