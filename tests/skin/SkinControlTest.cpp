// Protects the skin control and its pieces: the shipped skin's values, refusing broken skins,
// dressing a window (and refusing a handle that names none), skin labels, and the companion.
#include "SkinTestWindow.h"

#include "platform/forms/Controls.h"
#include "skin/modSkin.h"
#include "skin/Skin.h"
#include "skin/SkinLabel.h"
#include "skin/SkinSession.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using testing_support::TempFolder;

namespace {

QColor centrePixel(QWidget* widget) {
  const QImage image = widget->grab().toImage();
  return image.pixelColor(image.width() / 2, image.height() / 2);
}

}  // namespace

// The shipped skin and its assets

TEST(SkinControl, shippedSkinHasTheDesignedColoursAndValues) {
  Skin skin;
  EXPECT_EQ(*skin.backColor(), 0xFFFFFF);
  EXPECT_EQ(*skin.foreColor(), 0);
  EXPECT_EQ(*skin.panelColor(), 235 + 235 * 256 + 235 * 65536);
  EXPECT_EQ(*skin.panelTextColor(), 0);
  EXPECT_EQ(skin.values()->description, QStringLiteral("Gem Blue"));
  EXPECT_EQ(skin.values()->application, QStringLiteral("Standard Skin"));
  EXPECT_EQ(skin.values()->hue, 0);
  EXPECT_FALSE(skin.values()->applyColors);
  EXPECT_TRUE(skin.values()->skinClientArea);
  for (const char* image : {"topbar.bmp", "border.bmp", "button_norm.bmp"})
    EXPECT_TRUE(skin.values()->images.values().contains(QLatin1String(image))) << image;
}

// Broken skins

TEST(SkinControl, brokenSkinFilesAreRefusedOnUse) {
  TempFolder folder;
  struct Case {
    const char* what;
    QByteArray text;
  };
  const QByteArray images = "[Images]\nTopBar=topbar.bmp\nBorder=border.bmp\nButtonNormal=button_norm.bmp\n";
  const QByteArray colours = "[Skin]\nm_BackColor=1\nm_ForeColor=2\nm_PanelColor=3\nm_PanelTextColor=4\n";
  const Case cases[] = {
      {"missing colour", "[Skin]\nm_BackColor=1\nm_ForeColor=2\nm_PanelColor=3\n" + images},
      {"not a number", "[Skin]\nm_BackColor=white\nm_ForeColor=2\nm_PanelColor=3\nm_PanelTextColor=4\n" + images},
      {"not a switch", colours + "m_bApplyColors=maybe\n" + images},
      {"no name=value", colours + "m_nHue\n" + images},
      {"outside a section", "m_BackColor=1\n" + colours + images},
      {"missing image file", colours + images + "ButtonHover=nowhere.bmp\n"},
      {"image outside the folder", colours + images + "Panel=../panel.bmp\n"},
      {"required image not named", colours + "[Images]\nTopBar=topbar.bmp\nBorder=border.bmp\n"},
  };
  for (const Case& c : cases) {
    Skin skin(writeTestSkin(folder, c.text));
    EXPECT_FALSE(skin.backColor()) << c.what;
    EXPECT_FALSE(skin.SkinWindow(0)) << c.what;
    EXPECT_FALSE(skin.skinData()) << c.what;
  }
  Skin absent(QString::fromStdString(folder.file("absent.skin")));
  EXPECT_FALSE(absent.panelColor());
}

// Dressing a window

TEST(SkinControl, dressedWindowLooksDifferent) {
  SkinTestWindow window;
  window.setClientSizeTwips(3000, 1500);
  auto* button = new QPushButton(QStringLiteral("Go"), window.client());
  button->setGeometry(10, 10, 80, 26);
  window.show();
  const QImage before = button->grab().toImage();
  const QColor backgroundBefore = window.grab().toImage().pixelColor(150, 90);

  Skin skin;
  ASSERT_TRUE(skin.SkinWindow(window.winId()));
  EXPECT_TRUE(window.styleSheet().contains(QStringLiteral("button_norm.bmp")));
  EXPECT_NE(button->grab().toImage(), before);
  // The client area is painted in the panel colour (below the top bar's fade).
  const QColor background = window.grab().toImage().pixelColor(150, 90);
  EXPECT_EQ(background, QColor(235, 235, 235));
  EXPECT_NE(background, backgroundBefore);
  // Dressing twice stacks nothing.
  const QString sheet = window.styleSheet();
  ASSERT_TRUE(skin.SkinWindow(window.winId()));
  EXPECT_EQ(window.styleSheet(), sheet);
}

TEST(SkinControl, aHandleThatNamesNoWindowIsRefused) {
  Skin skin;
  EXPECT_FALSE(skin.SkinWindow(0));
  WId gone = 0;
  {
    SkinTestWindow window;
    gone = window.winId();
  }
  EXPECT_FALSE(skin.SkinWindow(gone));
}

TEST(SkinControl, textBoxesKeepTheProgramsColoursUnlessTheSkinAppliesItsOwn) {
  TempFolder folder;
  for (bool applyColors : {false, true}) {
    SkinTestWindow window;
    window.setClientSizeTwips(3000, 1500);
    auto* box = new QLineEdit(window.client());
    box->setGeometry(10, 10, 120, 24);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(10, 200, 30));
    box->setPalette(palette);
    window.show();
    Skin skin(writeTestSkin(folder, testSkinText(applyColors)));
    ASSERT_TRUE(skin.SkinWindow(window.winId()));
    // The skin's own back colour is red FF, green C0, blue 80.
    EXPECT_EQ(centrePixel(box), applyColors ? QColor(0xFF, 0xC0, 0x80) : QColor(10, 200, 30)) << applyColors;
  }
}

TEST(SkinControl, buttonsWithoutAFontOfTheirOwnTakeTheSkinsFont) {
  SkinTestWindow window;
  auto* plain = new QPushButton(QStringLiteral("Plain"), window.client());
  auto* bold = new QPushButton(QStringLiteral("Bold"), window.client());
  QFont own(QStringLiteral("DejaVu Serif"));
  own.setPointSizeF(12);
  bold->setFont(own);
  Skin skin;
  ASSERT_TRUE(skin.SkinWindow(window.winId()));
  EXPECT_EQ(plain->font().family(), QStringLiteral("Verdana"));
  EXPECT_DOUBLE_EQ(plain->font().pointSizeF(), 8.25);
  EXPECT_EQ(bold->font(), own);
}

// Skin labels

TEST(SkinLabelControl, isAControlOfItsOwnTypeThatReadsAsStaticText) {
  SkinTestWindow window;
  auto* label = new SkinLabel(QStringLiteral("Username:"), window.client());
  window.show();
  EXPECT_EQ(platform::controlTypeName(label), QStringLiteral("SkinLabel"));
  QAccessibleInterface* access = QAccessible::queryAccessibleInterface(label);
  ASSERT_NE(access, nullptr);
  EXPECT_EQ(access->role(), QAccessible::StaticText);
  EXPECT_EQ(access->text(QAccessible::Name), QStringLiteral("Username:"));
  label->setAccessibleName(QStringLiteral("User name"));
  EXPECT_EQ(access->text(QAccessible::Name), QStringLiteral("User name"));
}

// The companion

class Companion : public testing::Test {
 protected:
  void TearDown() override {
    modSkin::resetForTests();
    qApp->setStyleSheet(QString());
  }
};

TEST_F(Companion, startPutsTheSkinOnToolTipsAndMessageBoxesAndCloseTakesItOff) {
  qApp->setStyleSheet(QStringLiteral("QLabel { margin: 1px; }"));
  Skin skin;
  SkinSession& session = SkinSession::instance();
  EXPECT_EQ(&session, &SkinSession::instance());
  ASSERT_TRUE(session.attach(*skin.skinData()));
  ASSERT_TRUE(session.start());
  EXPECT_TRUE(qApp->styleSheet().contains(QStringLiteral("QToolTip")));
  EXPECT_TRUE(qApp->styleSheet().contains(QStringLiteral("QMessageBox")));
  EXPECT_TRUE(qApp->styleSheet().startsWith(QStringLiteral("QLabel { margin: 1px; }")));
  const QString started = qApp->styleSheet();
  EXPECT_TRUE(session.start());
  EXPECT_EQ(qApp->styleSheet(), started);

  session.close();
  EXPECT_EQ(qApp->styleSheet(), QStringLiteral("QLabel { margin: 1px; }"));
  EXPECT_FALSE(session.attached());
}

TEST_F(Companion, refusesWhatIsNotSkinDataAndStartsOnlyWithASkin) {
  SkinSession& session = SkinSession::instance();
  QObject notSkin;
  EXPECT_FALSE(session.attach(&notSkin));
  EXPECT_FALSE(session.start());
  {
    Skin gone;
    ASSERT_TRUE(session.attach(*gone.skinData()));
  }
  EXPECT_FALSE(session.start());
  EXPECT_TRUE(qApp->styleSheet().isEmpty());
  session.close();  // closing what never started is harmless
}
