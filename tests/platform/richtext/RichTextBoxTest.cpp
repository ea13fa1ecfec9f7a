// Protects the rich-text box: it shows a file, keeps its content when a load fails, lets the
// reader select and copy, and opens links through the shell's opener.
#include "platform/richtext/RichTextBox.h"

#include "platform/base/Shell.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

using testing_support::TempFolder;
using testing_support::writeBytes;

class RichTextBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::shell::setLauncherForTests([this](const QString& program, const QStringList& arguments, QString*) {
      started.push_back(QStringList{program} + arguments);
      return true;
    });
  }
  void TearDown() override { platform::shell::setLauncherForTests({}); }

  QString file(const char* name, const char* bytes) {
    writeBytes(folder.file(name), bytes);
    return QString::fromStdString(folder.file(name));
  }

  void click(platform::RichTextBox& box, int position) {
    QTextCursor at(box.document());
    at.setPosition(position);
    const QPointF point = box.cursorRect(at).center() + QPointF(2, 0);
    const QPointF global = box.viewport()->mapToGlobal(point);
    QMouseEvent press(QEvent::MouseButtonPress, point, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, point, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &press);
    QApplication::sendEvent(box.viewport(), &release);
  }

  TempFolder folder;
  std::vector<QStringList> started;
};

TEST_F(RichTextBoxTest, loadShowsTheFileAndAFailedLoadKeepsWhatWasShown) {
  platform::RichTextBox box;
  QPointer<QTextDocument> first;
  ASSERT_TRUE(box.LoadFile(file("a.rtf", R"({\rtf1 First {\b file}\par})")));
  first = box.document();
  EXPECT_EQ(box.toPlainText(), QStringLiteral("First file"));
  EXPECT_FALSE(box.LoadFile(file("b.rtf", "plain words")));
  auto missing = box.LoadFile(QString::fromStdString(folder.file("missing.rtf")));
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.why().find("missing.rtf"), std::string::npos);
  EXPECT_EQ(box.toPlainText(), QStringLiteral("First file"));
  ASSERT_TRUE(box.LoadFile(file("c.rtf", R"({\rtf1 Second})")));
  EXPECT_EQ(box.toPlainText(), QStringLiteral("Second"));
  EXPECT_TRUE(first.isNull());  // the replaced document is gone, not piling up
  EXPECT_TRUE(box.isReadOnly());
}

TEST_F(RichTextBoxTest, aClickedLinkOpensThroughTheOpenerAndPlainTextDoesNot) {
  platform::RichTextBox box;
  box.resize(400, 200);
  box.show();
  ASSERT_TRUE(box.LoadFile(file(
      "l.rtf", R"({\rtf1 Go {\field{\*\fldinst HYPERLINK "https://www.keyloft.app/a?b=1&c=2"}{\fldrslt there}} now)"
               R"( or {\field{\*\fldinst HYPERLINK \\l "top"}{\fldrslt up}}})")));
  QApplication::processEvents();
  click(box, 1);
  EXPECT_TRUE(started.empty());
  click(box, 4);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], (QStringList{QStringLiteral("xdg-open"), QStringLiteral("https://www.keyloft.app/a?b=1&c=2")}));
  click(box, 17);  // a place inside the document: nothing to open
  EXPECT_EQ(started.size(), 1u);
  EXPECT_EQ(box.toPlainText(), QStringLiteral("Go there now or up"));  // the view did not navigate
}

TEST_F(RichTextBoxTest, aLinkToABookmarkShowsItsPlaceAndOpensNothing) {
  platform::RichTextBox box;
  box.resize(400, 200);
  box.show();
  QByteArray rtf = R"({\rtf1 {\field{\*\fldinst HYPERLINK \\l "end"}{\fldrslt down}}\par)";
  for (int i = 0; i < 60; ++i) rtf += "line\\par ";
  rtf += R"({\*\bkmkstart end}Here{\*\bkmkend end} it is\par})";
  ASSERT_TRUE(box.LoadFile(file("b.rtf", rtf.constData())));
  QApplication::processEvents();
  ASSERT_EQ(box.verticalScrollBar()->value(), 0);
  click(box, 1);
  EXPECT_TRUE(started.empty());
  const QTextCursor here = box.document()->find(QStringLiteral("Here"));
  ASSERT_FALSE(here.isNull());
  EXPECT_GT(box.verticalScrollBar()->value(), 0);
  EXPECT_TRUE(box.viewport()->rect().contains(box.cursorRect(here).center()));
}

TEST_F(RichTextBoxTest, theKeyboardSelectsAndCopiesText) {
  platform::RichTextBox box;
  box.show();
  ASSERT_TRUE(box.LoadFile(file("k.rtf", R"({\rtf1 Copy me\par please})")));
  box.setFocus();
  QApplication::clipboard()->clear();
  QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
  QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
  QApplication::sendEvent(&box, &selectAll);
  QApplication::sendEvent(&box, &copy);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Copy me\nplease"));
}

}  // namespace
