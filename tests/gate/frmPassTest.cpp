// Protects the master password dialog: both layouts in twips, its texts and boxes, and the
// refusal of a new master password that the vault could not give back as typed.
#include "support/ProgramHarness.h"

#include "platform/forms/Timer.h"
#include "platform/forms/Twips.h"
#include "skin/SkinLabel.h"

using namespace program_test;
namespace tw = platform::twips;

namespace {

// Read-backs go through whole pixels: allow less than one pixel's twips.
constexpr int kPixel = 15;

class Gate : public ProgramTest {
 protected:
  // The dialog as the main window's load puts it up over the vault in the folder.
  frmPass* openGate() {
    modLivery::loadProductIdentity();
    forms::load<Form1>();
    return gate();
  }
  frmPass* openCreation() { return openGate(); }
  frmPass* openVerification(const std::string& master = "abcd") {
    writeVault(vaultImage(master, {}));
    return openGate();
  }
};

}  // namespace

// Layouts

// Both layouts in twips with their texts, tab order and timer, and the fields masked and named.
TEST_F(Gate, bothLayoutsAsDesigned) {
  const struct Mode {
    bool creating;
    QString prompt;
    int promptHeight, outerHeight, passTop, confirmTop, okTop;  // confirmTop 0: no confirmation
  } modes[] = {
      {true,
       "Because this is the first time you have used Keyloft, you will need to create a master password.  This "
       "password will be required to open the program from now on, and can not be reset.\r\n\r\nPlease enter a "
       "password that you will not forget.",
       1500, 3505, 1700, 2075, 2450},
      {false, "Please enter your password", 315, 1845, 360, 0, 780},
  };
  for (const Mode& m : modes) {
    SCOPED_TRACE(m.creating ? "creation" : "verification");
    restart();
    frmPass* g = m.creating ? openCreation() : openVerification();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->caption(), QStringLiteral("Password Required"));
    EXPECT_EQ(g->SkinLabel1->text(), m.prompt);
    EXPECT_NEAR(tw::height(g->SkinLabel1), m.promptHeight, kPixel);
    EXPECT_NEAR(g->outerHeightTwips(), m.outerHeight, kPixel);
    EXPECT_NEAR(g->outerWidthTwips() - platform::Form::frameWidthTwips(), 6825, kPixel);
    const std::pair<QWidget*, int> tops[] = {{g->txtPass, m.passTop},     {g->SkinLabel2, m.passTop},
                                             {g->txtPass2, m.confirmTop}, {g->SkinLabel3, m.confirmTop},
                                             {g->cmdOK, m.okTop},         {g->cmdCancel, m.okTop}};
    for (const auto& [control, top] : tops) {
      if (top) {
        EXPECT_NEAR(tw::top(control), top, kPixel) << control->accessibleName().toStdString();
      }
    }
    EXPECT_EQ(g->txtPass2->isHidden(), !m.creating);
    EXPECT_EQ(g->SkinLabel3->isHidden(), !m.creating);
    EXPECT_TRUE(g->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(g->Timer1->enabled());
    EXPECT_EQ(g->Timer1->interval(), 100);

    EXPECT_EQ(g->txtPass->echoMode(), QLineEdit::Password);
    EXPECT_EQ(g->txtPass2->echoMode(), QLineEdit::Password);
    const std::pair<QWidget*, QString> names[] = {
        {g->txtPass, "Password:"}, {g->txtPass2, "Retype Password:"}, {g->cmdOK, "Ok"}, {g->cmdCancel, "Cancel"}};
    for (const auto& [control, name] : names) EXPECT_EQ(control->accessibleName(), name);
    EXPECT_EQ(g->SkinLabel2->buddy(), g->txtPass);
    EXPECT_EQ(g->SkinLabel3->buddy(), g->txtPass2);
    // Designed tab order: Ok, Cancel, the password, its confirmation when it is shown.
    QList<QWidget*> order = {g->cmdOK, g->cmdCancel, g->txtPass};
    if (m.creating) order << g->txtPass2;
    order << g->cmdOK;
    for (int i = 1; i < order.size(); ++i) EXPECT_EQ(nextTabStop(order[i - 1]), order[i]) << i;
  }
}

// Creating the master password

TEST_F(Gate, shortOrMismatchedNewPasswordsAreRejectedAsDesigned) {
  frmPass* g = openCreation();
  enter(QStringLiteral("abc"), QStringLiteral("abc"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, QStringLiteral("You must enter a password that is at least 4 characters long"));
  EXPECT_EQ(boxes[0].title, QStringLiteral("Keyloft Demo"));
  EXPECT_EQ(boxes[0].buttons, QMessageBox::Ok);
  EXPECT_EQ(boxes[0].icon, QMessageBox::NoIcon);
  EXPECT_FALSE(boxes[0].ownerOnTop);
  EXPECT_EQ(g->txtPass->text(), QStringLiteral("abc"));
  EXPECT_EQ(g->txtPass2->text(), QStringLiteral("abc"));
  EXPECT_TRUE(g->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

  enter(QStringLiteral("abcd"), QStringLiteral("abcD"));
  enter(QStringLiteral("abcd"), QString());
  ASSERT_EQ(boxes.size(), 3u);
  for (int i : {1, 2}) {
    EXPECT_EQ(boxes[i].text, QStringLiteral("Your passwords did not match.  Please try again."));
    EXPECT_FALSE(boxes[i].ownerOnTop);
  }
  EXPECT_TRUE(g->txtPass->text().isEmpty());
  EXPECT_TRUE(g->txtPass2->text().isEmpty());
  EXPECT_EQ(vaultOnDisk(), "\r\n");
  EXPECT_TRUE(modGlobals::masterPassword.empty());
  EXPECT_EQ(gate(), g);
}

TEST_F(Gate, enterInTheConfirmationFieldCreatesTheVault) {
  frmPass* g = openCreation();
  g->txtPass->setText(QStringLiteral("Pa55word"));
  g->txtPass2->setText(QStringLiteral("Pa55word"));
  g->txtPass2_KeyPress(13);
  EXPECT_EQ(modGlobals::masterPassword, u"Pa55word");
  EXPECT_EQ(vaultOnDisk(), vaultImage("Pa55word", {}).substr(0, 10));
  EXPECT_EQ(gate(), nullptr);
}

// Key repeat or a double click: a second Ok while the accepted password is processed (the
// creation lets events run) must not create the vault, or list its kept entries, twice.
TEST_F(Gate, aSecondOkDuringCreationIsIgnored) {
  writeVault("\r\n" + testing_support::flip("u|||p|||l") + "\r\n");
  frmPass* g = openCreation();
  g->txtPass->setText(QStringLiteral("abcd"));
  g->txtPass2->setText(QStringLiteral("abcd"));
  QMetaObject::invokeMethod(g->cmdOK, &QPushButton::click, Qt::QueuedConnection);
  g->cmdOK->click();
  pump(50);
  EXPECT_EQ(mainWindow()->lstPass->items().count(), 1);
  EXPECT_EQ(vaultOnDisk(), vaultImage("abcd", {}).substr(0, 6) + testing_support::flip("u|||p|||l") + "\r\n");
  EXPECT_EQ(status(), QStringLiteral("Password created successfully"));
}

TEST_F(Gate, aPasswordOutsideWindows1252IsRefusedBeforeAnythingIsWritten) {
  frmPass* g = openCreation();
  const QString typed = QStringLiteral("pass\u0416word");
  enter(typed, typed);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("Windows-1252")));
  EXPECT_EQ(boxes[0].title, QStringLiteral("Keyloft Demo"));
  EXPECT_EQ(boxes[0].buttons, QMessageBox::Ok);
  EXPECT_EQ(vaultOnDisk(), "\r\n");
  EXPECT_TRUE(modGlobals::masterPassword.empty());
  EXPECT_EQ(gate(), g);
  EXPECT_TRUE(g->Timer1->enabled());
  EXPECT_EQ(programEnds, 0);
}

TEST_F(Gate, aPasswordThatWouldBreakTheLineFormatIsRefused) {
  // U+008D shifts to a carriage return, which would end the first line early.
  frmPass* g = openCreation();
  const QString typed = QStringLiteral("pass\u008Dword");
  enter(typed, typed);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("line format")));
  EXPECT_EQ(boxes[0].title, QStringLiteral("Keyloft Demo"));
  EXPECT_EQ(vaultOnDisk(), "\r\n");
  EXPECT_EQ(gate(), g);
  EXPECT_TRUE(g->txtPass->text().isEmpty());
}

TEST_F(Gate, aPasswordWithCharactersThatSurviveTheFileIsAcceptedAndReadsBack) {
  // Š (byte 8A) shifts to a lone line feed and a carriage return to 8D: both are line content.
  const QString typed = QStringLiteral("a\u0160b\rc\u20AC");
  openCreation();
  enter(typed, typed);
  ASSERT_TRUE(boxes.empty());
  restart();
  frmPass* g = openGate();
  ASSERT_FALSE(modGlobals::creatingMasterPassword);
  enter(typed);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(gate(), nullptr);
  EXPECT_NE(g, nullptr);
}

// Verifying it

// The same for the verification: a second Ok that runs while the vault is loaded (events run
// there, e.g. while the main window comes up) must not list every entry twice, nor the next save
// write them twice.
TEST_F(Gate, aSecondOkDuringVerificationIsIgnored) {
  const std::vector<testing_support::Entry> entries = {{"u1", "p1", "l1"}, {"u2", "p2", "l2"}};
  writeVault(vaultImage("abcd", entries));
  frmPass* g = openGate();
  struct LetEventsRunOnShow final : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Show) QCoreApplication::processEvents();
      return false;
    }
  } letEventsRun;
  mainWindow()->installEventFilter(&letEventsRun);
  g->txtPass->setText(QStringLiteral("abcd"));
  QMetaObject::invokeMethod(g->cmdOK, &QPushButton::click, Qt::QueuedConnection);
  g->cmdOK->click();
  pump(50);
  mainWindow()->removeEventFilter(&letEventsRun);
  EXPECT_EQ(mainWindow()->lstPass->items().count(), 2);
  ASSERT_TRUE(modGlobals::saveVault());
  EXPECT_EQ(vaultOnDisk(), vaultImage("abcd", entries));
}

TEST_F(Gate, verificationIsExactAndCaseSensitive) {
  openVerification("Abcd");
  enter(QStringLiteral("abcd"));
  enter(QStringLiteral("Abcd "));
  EXPECT_EQ(boxes.size(), 2u);
  EXPECT_EQ(gate()->wrongTries(), 2);
  enter(QStringLiteral("Abcd"));
  EXPECT_EQ(modGlobals::masterPassword, u"Abcd");
  EXPECT_EQ(gate(), nullptr);
}
