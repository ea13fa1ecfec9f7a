// Protects starting a command line: the program from the first word ("explorer" is the system
// opener), the rest as one untouched argument, and failures reported.
#include "platform/base/Shell.h"

#include <gtest/gtest.h>

namespace shell = platform::shell;

namespace {

class Shell : public ::testing::Test {
 protected:
  void SetUp() override {
    shell::setLauncherForTests([this](const QString& program, const QStringList& arguments, QString* error) {
      ++calls;
      started = QStringList{program} + arguments;
      if (!failWith.isEmpty() && error) *error = failWith;
      return failWith.isEmpty();
    });
  }
  void TearDown() override { shell::setLauncherForTests({}); }

  bool start(const QString& line, QString* error = nullptr) {
    return shell::startCommandLine(line, shell::vbNormalFocus, error);
  }

  QStringList started;  // program, then arguments
  int calls = 0;
  QString failWith;
};

}  // namespace

TEST_F(Shell, explorerIsTheSystemOpenerAndTheRestIsOneUntouchedArgument) {
  const QString hostile = QStringLiteral("http://a.org/x; rm -rf ~ && echo $(id) \"q\" 'r' `s` |t >u");
  EXPECT_TRUE(start(QStringLiteral("explorer ") + hostile));
  EXPECT_EQ(started, (QStringList{QStringLiteral("xdg-open"), hostile}));
  EXPECT_TRUE(start(QStringLiteral("EXPLORER  two  spaces ")));
  EXPECT_EQ(started, (QStringList{QStringLiteral("xdg-open"), QStringLiteral(" two  spaces ")}));
  EXPECT_TRUE(start(QStringLiteral("notepad C:\\a b.txt")));
  EXPECT_EQ(started, (QStringList{QStringLiteral("notepad"), QStringLiteral("C:\\a b.txt")}));
}

TEST_F(Shell, anEmptyRestGivesNoArgumentAtAll) {
  EXPECT_TRUE(start(QStringLiteral("explorer ")));
  EXPECT_EQ(started, QStringList{QStringLiteral("xdg-open")});
  EXPECT_TRUE(start(QStringLiteral("Explorer")));
  EXPECT_EQ(started, QStringList{QStringLiteral("xdg-open")});
}

TEST_F(Shell, failuresAreReportedWithTheirReason) {
  failWith = QStringLiteral("no opener");
  QString error;
  EXPECT_FALSE(start(QStringLiteral("explorer x"), &error));
  EXPECT_EQ(error, QStringLiteral("no opener"));
  error.clear();
  EXPECT_FALSE(start(QStringLiteral(" x"), &error));  // no program named: nothing is started
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(calls, 1);
}

TEST(ShellReal, aProgramThatCannotBeStartedIsReportedNotIgnored) {
  QString error;
  EXPECT_FALSE(
      shell::startCommandLine(QStringLiteral("keyloft-test-no-such-program-7f3a arg"), shell::vbNormalFocus, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("keyloft-test-no-such-program-7f3a")));
}
