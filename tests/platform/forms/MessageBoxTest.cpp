// Protects message boxes: exact text, button set, icon, default button and title from the
// style value, the answer mapping, and what closing the box answers.
#include "platform/forms/MessageBox.h"
#include "support/ShownBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace msgbox = platform::msgbox;
using B = QMessageBox;

namespace {

// Shows the box through the hook, answering `answer`, and records what it was built with.
testing_support::ShownBox look(const QString& text, int style, const QString& title = {}, int answer = msgbox::vbOK) {
  testing_support::ShownBox built;
  msgbox::setMessageBoxHookForTests([&](QMessageBox& box) {
    built = testing_support::shownBox(box);
    return answer;
  });
  EXPECT_EQ(msgbox::msgBox(text, style, title), answer);
  msgbox::setMessageBoxHookForTests({});
  return built;
}

// Runs the real box and acts on it from inside its event loop.
int runRealBox(int style, std::function<void(QMessageBox*)> act) {
  QTimer::singleShot(0, [act] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    act(box);
  });
  return msgbox::msgBox(QStringLiteral("x"), style);
}

void pressEscape(QWidget* box) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(box, &press);
}

}  // namespace

TEST(MessageBox, textIsExactAndNeverMarkupAndTheTitleDefaultsToTheApplications) {
  const QString text = QStringLiteral("Username: <b>me</b>\r\nPassword: a&b");
  const testing_support::ShownBox built = look(text, msgbox::vbOKOnly);
  EXPECT_EQ(built.text, text);
  EXPECT_EQ(built.format, Qt::PlainText);
  EXPECT_EQ(built.title, QStringLiteral("Keyloft Demo"));
  EXPECT_EQ(msgbox::applicationTitle(), QStringLiteral("Keyloft Demo"));
  EXPECT_EQ(look(text, msgbox::vbRetryCancel, QStringLiteral("Incorrect Password"), msgbox::vbRetry).title,
            QStringLiteral("Incorrect Password"));
}

TEST(MessageBox, styleValueGivesButtonsIconAndDefault) {
  struct Case {
    int style;
    B::StandardButtons buttons;
    B::Icon icon;
    B::StandardButton defaultButton;
  };
  const Case cases[] = {
      {msgbox::vbOKOnly, B::Ok, B::NoIcon, B::Ok},
      {msgbox::vbOKCancel | msgbox::vbQuestion | msgbox::vbDefaultButton2, B::Ok | B::Cancel, B::Question, B::Cancel},
      {msgbox::vbAbortRetryIgnore | msgbox::vbCritical | msgbox::vbDefaultButton3, B::Abort | B::Retry | B::Ignore,
       B::Critical, B::Ignore},
      {msgbox::vbYesNoCancel | msgbox::vbExclamation, B::Yes | B::No | B::Cancel, B::Warning, B::Yes},
      {msgbox::vbYesNo | msgbox::vbInformation | msgbox::vbDefaultButton2, B::Yes | B::No, B::Information, B::No},
      {msgbox::vbRetryCancel | msgbox::vbDefaultButton3, B::Retry | B::Cancel, B::NoIcon, B::Retry},  // no third
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    const testing_support::ShownBox built = look(QStringLiteral("x"), c.style);
    EXPECT_EQ(built.buttons, c.buttons);
    EXPECT_EQ(built.icon, c.icon);
    EXPECT_EQ(built.defaultButton, c.defaultButton);
  }
}

TEST(MessageBox, realBoxAnswersTheClickedButtonAndClosingAnswersCancelOrTheOnlyButton) {
  EXPECT_EQ(runRealBox(msgbox::vbYesNoCancel, [](QMessageBox* box) { box->button(B::No)->click(); }), msgbox::vbNo);
  EXPECT_EQ(runRealBox(msgbox::vbRetryCancel, pressEscape), msgbox::vbCancel);
  EXPECT_EQ(runRealBox(msgbox::vbOKCancel, [](QMessageBox* box) { box->close(); }), msgbox::vbCancel);
  EXPECT_EQ(runRealBox(msgbox::vbOKOnly, pressEscape), msgbox::vbOK);
}

TEST(MessageBox, yesNoCannotBeDismissedWithoutAChoice) {
  EXPECT_EQ(runRealBox(msgbox::vbYesNo,
                       [](QMessageBox* box) {
                         pressEscape(box);
                         EXPECT_FALSE(box->close());
                         EXPECT_TRUE(box->isVisible());
                         box->button(B::Yes)->click();
                       }),
            msgbox::vbYes);
}
