// Protects the help viewer: it shows the shipped help file at start and from the menu, never a
// window without the file, one window however often it is asked for, and the start-up setting.
#include "support/ProgramHarness.h"

#include "help/Form8.h"
#include "platform/forms/Twips.h"
#include "platform/richtext/RichTextBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QTextDocument>

#include <filesystem>

using namespace program_test;
namespace tw = platform::twips;

namespace {

class HelpViewer : public ProgramTest {
 protected:
  void withHelpFile() const { std::filesystem::copy_file(KEYLOFT_HELP_RTF, folder.file("Help.rtf")); }
  // Through the gate of a vault with a master password, to the main window.
  void startProgram() {
    if (!std::filesystem::exists(vaultFile())) writeVault(vaultImage("abcd", {}));
    startToGate();
    enter(QStringLiteral("abcd"));
    ASSERT_NE(mainWindow(), nullptr);
  }
  Form8* viewer() const { return forms::instance<Form8>(); }
  QString stored() const {
    return platform::settings::getSetting(QStringLiteral("Keyloft"), QStringLiteral("Settings"),
                                          QStringLiteral("showHelp"), QStringLiteral("absent"));
  }
  void store(const QString& value) const {
    platform::settings::saveSetting(QStringLiteral("Keyloft"), QStringLiteral("Settings"), QStringLiteral("showHelp"),
                                    value);
  }
};

bool anyVisibleWindowTitled(const QString& caption) {
  const QWidgetList windows = QApplication::topLevelWidgets();
  return std::any_of(windows.begin(), windows.end(),
                     [&](const QWidget* w) { return w->isVisible() && w->windowTitle() == caption; });
}

}  // namespace

TEST_F(HelpViewer, opensAtTheFirstStartOnTopWithTheHelpText) {
  withHelpFile();
  startProgram();
  Form8* help = viewer();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->caption(), QStringLiteral("Readme/Help"));
  EXPECT_TRUE(help->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(help->Check1->isChecked());
  EXPECT_EQ(help->Check1->text(), QStringLiteral("Show at Startup"));
  EXPECT_TRUE(help->rtf1->document()->toPlainText().contains(QStringLiteral("Welcome to Keyloft")));
  EXPECT_NEAR(tw::width(help->rtf1), 10275, 15);
  EXPECT_NEAR(tw::top(help->Check1), 7620, 15);
  EXPECT_NEAR(help->clientHeightTwips(), 7920, 15);

  mainWindow()->close();  // the main window's unload takes the viewer with it
  EXPECT_EQ(viewer(), nullptr);
}

TEST_F(HelpViewer, withoutTheHelpFileNoWindowAppearsFromTheStartOrTheMenu) {
  startProgram();
  EXPECT_EQ(viewer(), nullptr);
  mainWindow()->mnuHelpItem_Click(0);
  EXPECT_EQ(viewer(), nullptr);
  EXPECT_FALSE(anyVisibleWindowTitled(QStringLiteral("Readme/Help")));

  // Put in place later, it is found on the next request.
  withHelpFile();
  mainWindow()->mnuHelpItem_Click(0);
  ASSERT_NE(viewer(), nullptr);
  EXPECT_TRUE(viewer()->isVisible());
}

TEST_F(HelpViewer, clearingShowAtStartupKeepsItClosedAtTheNextStart) {
  withHelpFile();
  startProgram();
  viewer()->Check1->click();
  EXPECT_EQ(stored(), QStringLiteral("0"));
  restart();
  startProgram();
  EXPECT_EQ(viewer(), nullptr);

  mainWindow()->mnuHelpItem_Click(0);
  ASSERT_NE(viewer(), nullptr);
  EXPECT_FALSE(viewer()->Check1->isChecked());
  viewer()->Check1->click();
  EXPECT_EQ(stored(), QStringLiteral("1"));
}

TEST_F(HelpViewer, theStoredSettingSetsTheCheckBoxWhenItIsAWholeNumber) {
  withHelpFile();
  startProgram();
  const struct {
    const char* stored;
    bool checkedBefore, checkedAfter;
  } cases[] = {
      {"1", false, true},   {"0", true, false},    {" 1 ", false, true}, {"0.4", true, false},
      {"0.5", true, false},  // half rounds to even: 0
      {"abc", true, true},  {"abc", false, false}, {"", true, true},     {"7", false, false},
  };
  ASSERT_NE(viewer(), nullptr);
  for (const auto& c : cases) {
    store(QString::fromLatin1(c.stored));
    // The box as it stood before the load, then the load.
    viewer()->Check1->setChecked(c.checkedBefore);
    viewer()->Form_Load();
    EXPECT_EQ(viewer()->Check1->isChecked(), c.checkedAfter) << "stored \"" << c.stored << "\"";
  }
}

TEST_F(HelpViewer, aSecondViewHelpBringsTheSameWindowWithoutLoadingAgain) {
  withHelpFile();
  startProgram();
  Form8* first = viewer();
  ASSERT_NE(first, nullptr);
  store(QStringLiteral("0"));  // a load would now clear the box
  mainWindow()->mnuHelpItem_Click(0);
  EXPECT_EQ(viewer(), first);
  EXPECT_TRUE(first->Check1->isChecked());
}
