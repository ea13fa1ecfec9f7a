// Protects Find: every column, the list's current order from the row after the selection, one
// wrap around, letter case (the code page's accented letters too), and what a miss says.
#include "EntriesFixture.h"

#include <QApplication>
#include <QCheckBox>

// How the window system hands a key to the shortcut map before any widget sees it (QtGui's own).
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false, ushort count = 1);

namespace entries_test {
namespace {

using Find = EntriesFixture;

// Row order as added: alice, bob, Carol, dave. dave's password is "Été".
const std::vector<Entry> kFour = {{"alice", "Sun42", "mail.example"},
                                  {"bob", "moon", "bank.example"},
                                  {"Carol", "STAR", "shop.example"},
                                  {"dave", "\xC9t\xE9", "Mail.example"}};

struct FindCase {
  const char* name;
  int sortColumn;        // a header click first; 0 none
  const char* selected;  // user name of the selected row; "" none
  QString text;
  bool matchCase;
  const char* found;  // user name of the row selected after Find Next; "" a miss
};

const FindCase kCases[] = {
    {"no selection starts at the top", 0, "", "example", false, "alice"},
    {"starts after the selection", 0, "alice", "example", false, "bob"},
    {"wraps around to the top", 0, "dave", "shop", false, "Carol"},
    {"wraps once onto the selection itself", 0, "bob", "bank", false, "bob"},
    {"any case by default", 0, "alice", "MAIL", false, "dave"},
    {"match case passes the other case by", 0, "alice", "mail", true, "alice"},
    {"accented capitals fold too", 0, "", QStringLiteral("\u00E9T\u00C9"), false, "dave"},
    {"the user name column", 0, "", "carol", false, "Carol"},
    {"the password column", 0, "", "star", false, "Carol"},
    {"in the sorted order (passwords, descending)", 2, "Carol", "example", false, "bob"},
    {"a miss", 0, "bob", "star", true, ""},
    {"a character the vault cannot hold", 0, "", QStringLiteral("\u4E2D"), false, ""},
};

TEST_F(Find, findNextSelectsTheNextMatchingRowOrSaysItCannotFindIt) {
  for (const FindCase& c : kCases) {
    SCOPED_TRACE(c.name);
    open(kFour);
    if (c.sortColumn) form->lstPass_ColumnClick(c.sortColumn);
    auto numberOf = [&](const std::string& user) {
      for (std::int64_t n = 1; n <= rows().count(); ++n)
        if (rows().row(n).text() == user) return n;
      return std::int64_t{0};
    };
    select(numberOf(c.selected));
    form->mnuFind_Click();
    frmFind* find = platform::forms::instance<frmFind>();
    ASSERT_NE(find, nullptr);
    find->txtFind->setText(c.text);
    find->chkMatchCase->setChecked(c.matchCase);
    find->cmdFindNext->click();
    const std::int64_t selected = rows().firstSelected();
    if (*c.found) {
      ASSERT_NE(selected, 0);
      EXPECT_EQ(rows().row(selected).text(), c.found);
    } else {
      EXPECT_EQ(selected, numberOf(c.selected));
      EXPECT_EQ(status(), QStringLiteral("Cannot find \"") + c.text + QStringLiteral("\"."));
    }
  }
}

// One window however often it is asked for; Enter finds the next match, Escape closes it.
TEST_F(Find, isOneWindowDrivenByEnterAndEscape) {
  open(kFour);
  form->mnuFind->trigger();
  frmFind* find = platform::forms::instance<frmFind>();
  ASSERT_NE(find, nullptr);
  form->mnuFind->trigger();
  EXPECT_EQ(platform::forms::instance<frmFind>(), find);
  find->txtFind->setText(QStringLiteral("example"));
  auto press = [&](int key) { EXPECT_TRUE(qt_sendShortcutOverrideEvent(find->txtFind, 0, key, Qt::NoModifier)); };
  QApplication::setActiveWindow(find);
  find->txtFind->setFocus();
  press(Qt::Key_Return);
  press(Qt::Key_Return);
  EXPECT_EQ(rows().firstSelected(), 2);
  press(Qt::Key_Escape);
  EXPECT_EQ(platform::forms::instance<frmFind>(), nullptr);
}

}  // namespace
}  // namespace entries_test
