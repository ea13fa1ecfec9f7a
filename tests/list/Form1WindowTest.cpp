// Protects the main window: its designed layout and texts, the wiring of its buttons and menus,
// its finish after the gate (skin, showHelp), the status message and its unload.
#include "support/ProgramHarness.h"

#include "platform/forms/Controls.h"
#include "platform/forms/Twips.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace program_test;
namespace tw = platform::twips;

namespace {

constexpr int kPixel = 15;

// Stand-ins for windows that are reached by name only.
class FakeWindow final : public platform::Form {
 public:
  explicit FakeWindow(const QString& name) : Form(name) {}
  void Form_Unload() override { unloaded << formName(); }
  static inline QStringList unloaded;
};

void registerFake(const QString& name) {
  forms::registerForm(name, [name] { return new FakeWindow(name); });
}

class MainWindow : public ProgramTest {
 protected:
  // Starts the program with a vault holding the entries and passes the gate.
  Form1* open(const std::vector<std::array<std::string, 3>>& entries = {}) {
    writeVault(vaultImage("abcd", entries));
    startToGate();
    enter(QStringLiteral("abcd"));
    return mainWindow();
  }
  void setShowHelp(const QString& value) {
    platform::settings::saveSetting(QStringLiteral("Keyloft"), QStringLiteral("Settings"), QStringLiteral("showHelp"),
                                    value);
  }
};

}  // namespace

// Layout and texts

// As designed: each button's caption is also its name for assistive technology, the columns line
// up with the copy buttons below them, each menu item shown is the one its handler is wired to.
TEST_F(MainWindow, designedTextsPicturesColumnsMenusAndTabOrder) {
  Form1* w = open();
  EXPECT_EQ(w->caption(), QStringLiteral("Keyloft by Loftwright Labs"));
  EXPECT_NEAR(w->clientWidthTwips(), 9015, kPixel);
  EXPECT_NEAR(w->clientHeightTwips(), 6555, kPixel);
  EXPECT_NEAR(w->StatusBar1->panelWidthTwips(1), w->outerWidthTwips(), kPixel);
  EXPECT_FALSE(w->lstPass->accessibleName().isEmpty());
  EXPECT_FALSE(w->StatusBar1->accessibleName().isEmpty());

  const std::pair<QPushButton*, QString> buttons[] = {{w->cmdAdd[0], "Add"},
                                                      {w->cmdDelete, "Delete"},
                                                      {w->cmdEdit, "Edit"},
                                                      {w->cmdGoto, "Go To"},
                                                      {w->cmdWebsite[0], "Visit www.keyloft.app"},
                                                      {w->cmdCopy[0], "Copy Username"},
                                                      {w->cmdCopy[1], "Copy Password"},
                                                      {w->cmdCopy[2], "Copy Used At"}};
  for (const auto& [button, caption] : buttons) {
    EXPECT_EQ(button->text(), caption);
    EXPECT_EQ(button->accessibleName(), caption);
    EXPECT_EQ(button->iconSize(), QSize(32, 32)) << caption.toStdString();
    EXPECT_EQ(button->icon().pixmap(32, 32).size(), QSize(32, 32)) << caption.toStdString();
  }

  const std::pair<QString, int> columns[] = {{"Username", 2345}, {"Password", 2375}, {"Website/Location", 4095}};
  ASSERT_EQ(w->lstPass->columnCount(), 3);
  for (int c = 1; c <= 3; ++c) {
    EXPECT_EQ(w->lstPass->columnText(c), columns[c - 1].first);
    EXPECT_NEAR(w->lstPass->columnWidthTwips(c), columns[c - 1].second, kPixel) << c;
  }

  // The menu bar in order: each menu's caption, then its items (nullptr: a separator).
  const std::pair<QStringList, QList<QAction*>> menus[] = {
      {{"File", "Lock", "", "Encrypt Vault...", "Change Master Password...", "", "Import...", "Export...", "", "Exit"},
       {w->mnuLock, nullptr, w->mnuEncrypt, w->mnuChangePassword, nullptr, w->mnuImport, w->mnuExport, nullptr,
        w->mnuFileItem[0]}},
      {{"Data", "Add Username/Password", "Delete Selected Item", "Edit Selected Item", "Goto \"Used At\" Location", "",
        "Find..."},
       QList<QAction*>(w->mnuDataItem) << nullptr << w->mnuFind},
      {{"Copy", "Selected Username", "Selected Password", "Selected Used At Location"}, w->mnuCopyItem},
      {{"Help", "View Help"}, w->mnuHelpItem},
      {{"About", "About this software"}, w->mnuAboutItem},
  };
  const QList<QAction*> bar = w->menuBar()->actions();
  ASSERT_EQ(bar.size(), std::ssize(menus));
  for (int m = 0; m < bar.size(); ++m) {
    QStringList shown{bar[m]->text()};
    for (QAction* item : bar[m]->menu()->actions()) shown << item->text();
    EXPECT_EQ(shown, menus[m].first);
    QList<QAction*> items = bar[m]->menu()->actions();
    for (QAction*& item : items)
      if (item->isSeparator()) item = nullptr;
    EXPECT_EQ(items, menus[m].second) << m;
  }

  const QList<QWidget*> tabOrder = {w->cmdAdd[0],  w->cmdEdit, w->cmdDelete,  w->cmdWebsite[0], w->lstPass,
                                    w->cmdCopy[0], w->cmdGoto, w->cmdCopy[1], w->cmdCopy[2]};
  for (int i = 1; i < tabOrder.size(); ++i) EXPECT_EQ(nextTabStop(tabOrder[i - 1]), tabOrder[i]) << i;
}

// Wiring: a click and the matching menu item reach the same command

TEST_F(MainWindow, buttonsAndMenuItemsRunTheirCommands) {
  Form1* w = open();
  struct Pair {
    std::function<void()> button, menu;
    QString status;
  };
  const Pair pairs[] = {
      {[&] { w->cmdEdit->click(); }, [&] { w->mnuDataItem[2]->trigger(); },
       QStringLiteral("You must first select an entry to edit.")},
      {[&] { w->cmdDelete->click(); }, [&] { w->mnuDataItem[1]->trigger(); },
       QStringLiteral("You must first select an entry to delete.")},
      {[&] { w->cmdGoto->click(); }, [&] { w->mnuDataItem[3]->trigger(); },
       QStringLiteral("You must first select an entry to go to.")},
      {[&] { w->cmdCopy[2]->click(); }, [&] { w->mnuCopyItem[2]->trigger(); },
       QStringLiteral("You must first select a row to copy from.")},
  };
  for (const Pair& p : pairs) {
    modGlobals::showStatusMessage({});
    p.button();
    EXPECT_EQ(status(), p.status);
    modGlobals::showStatusMessage({});
    p.menu();
    EXPECT_EQ(status(), p.status);
  }

  w->mnuDataItem[0]->trigger();
  EXPECT_TRUE(forms::isLoaded(QStringLiteral("frmAdd")));
  EXPECT_EQ(modGlobals::editorMode, QStringLiteral("Add"));

  w->mnuFileItem[0]->trigger();
  EXPECT_FALSE(forms::isLoaded(Form1::name()));
  EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmAdd")));
  EXPECT_EQ(programEnds, 1);
}

// After the gate

TEST_F(MainWindow, helpViewerFollowsTheShowHelpSetting) {
  struct Case {
    const char* stored;  // nullptr: never stored
    bool shown;
  };
  for (Case c : {Case{nullptr, true}, Case{"1", true}, Case{"0", false}, Case{"", false}, Case{"yes", false}}) {
    SCOPED_TRACE(c.stored ? c.stored : "(absent)");
    registerFake(QStringLiteral("Form8"));  // restart() wires the real one in again
    if (c.stored) setShowHelp(QString::fromLatin1(c.stored));
    open();
    EXPECT_TRUE(mainWindow()->isVisible());
    EXPECT_EQ(forms::isLoaded(QStringLiteral("Form8")), c.shown);
    if (c.shown) {
      EXPECT_TRUE(forms::instance(QStringLiteral("Form8"))->isVisible());
    }
    EXPECT_EQ(gate(), nullptr);
    restart();
  }
}

TEST_F(MainWindow, theSkinColoursTheControlsByType) {
  Form1* w = open({{"a", "b", "c"}});
  const QColor white(Qt::white), black(Qt::black);
  EXPECT_EQ(w->lstPass->palette().color(QPalette::Base), white);
  EXPECT_EQ(w->lstPass->palette().color(QPalette::Text), black);

  // The gate was dressed the same way while it was up.
  restart();
  writeVault(vaultImage("abcd", {}));
  startToGate();
  EXPECT_EQ(gate()->txtPass->palette().color(QPalette::Base), white);
  EXPECT_EQ(gate()->txtPass->palette().color(QPalette::Text), black);
}

// Going down

TEST_F(MainWindow, unloadTakesTheOtherWindowsDownFirst) {
  for (const char* name : {"Form8", "frmAbout"}) registerFake(QString::fromLatin1(name));
  Form1* w = open();
  forms::show(QStringLiteral("frmAbout"));
  w->cmdAdd[0]->click();
  ASSERT_TRUE(forms::isLoaded(QStringLiteral("frmAdd")));
  FakeWindow::unloaded.clear();

  w->close();
  EXPECT_EQ(FakeWindow::unloaded, (QStringList{QStringLiteral("Form8"), QStringLiteral("frmAbout")}));
  for (const char* name : {"Form8", "frmAbout", "frmAdd", "frmSplash", "Form1"})
    EXPECT_FALSE(forms::isLoaded(QString::fromLatin1(name))) << name;
  EXPECT_EQ(programEnds, 1);
}
