// The main window's commands: add, edit, delete, copy, go to, the column sort and the menus.
#include "app/modLivery.h"
#include "Form1.h"
#include "frmAdd.h"
#include "frmFind.h"
#include "list/modGlobals.h"
#include "modListViewEnh.h"
#include "platform/base/QtCodePage.h"
#include "platform/base/Settings.h"
#include "platform/base/Shell.h"
#include "platform/forms/Clipboard.h"
#include "platform/forms/ListView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/WindowNames.h"
#include "vault/EntryChange.h"
#include "vault/modGlobals.h"

#include <QLineEdit>

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace column = platform::column;
namespace cp = platform::codepage;
namespace mb = platform::msgbox;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A location that looks like a web address gets a scheme, so that the opener treats it as one.
QString withWebScheme(const QString& location) {
  static const std::array<QString, 6> hints = {QStringLiteral(".edu"), QStringLiteral("biz"),  QStringLiteral("org"),
                                               QStringLiteral(".net"), QStringLiteral(".com"), QStringLiteral("www")};
  bool web = false;
  for (const QString& hint : hints) web = web || location.contains(hint, Qt::CaseInsensitive);
  if (!web || location.contains(QStringLiteral("https://"), Qt::CaseInsensitive) ||
      location.contains(QStringLiteral("http://"), Qt::CaseInsensitive))
    return location;
  return QStringLiteral("http://") + location;
}

// The selected row (the first one flagged), or 0 after showing the command's own "select" text.
std::int64_t selectedRowOrSay(const platform::ListItems& list, const QString& selectText) {
  const std::int64_t number = list.firstSelected();
  if (number == 0) modGlobals::showStatusMessage(selectText);
  return number;
}

// Why the editor can't open the row, or nothing when it can.
std::optional<QString> tooLargeToEdit(const platform::ListRow& row) {
  const std::array<std::string_view, 3> fields = {row.column(column::kUserName), row.column(column::kPassword),
                                                  row.column(column::kLocation)};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].size() <= kMaxEditableField) continue;
    return QStringLiteral("This entry is too large to edit: its ") + entryFieldName(i) + QStringLiteral(" has ") +
           QString::number(fields[i].size()) + QStringLiteral(" characters, and the editor opens at most ") +
           QString::number(kMaxEditableField) + QStringLiteral(".  You can still copy its fields and delete it.");
  }
  return std::nullopt;
}

// How long a copied field stays on the clipboard, read at each copy so that a changed setting
// counts at once; zero keeps it there. Anything but a whole number of seconds counts as the default.
std::chrono::seconds clipboardLifetime() {
  return std::chrono::seconds(platform::settings::getCountSetting(modLivery::productName, QStringLiteral("Settings"),
                                                                  QStringLiteral("clearClipboardSeconds"), 30));
}

}  // namespace

void Form1::cmdAdd_Click(int /*index*/) {
  modGlobals::editorMode = QStringLiteral("Add");
  platform::forms::show<frmAdd>();
}

void Form1::cmdEdit_Click() {
  const platform::ListItems& list = lstPass->items();
  const std::int64_t number = selectedRowOrSay(list, QStringLiteral("You must first select an entry to edit."));
  if (number == 0) return;
  const platform::ListRow& row = list.row(number);
  if (auto reason = tooLargeToEdit(row)) {
    mb::msgBox(*reason, mb::vbOKOnly | mb::vbExclamation, {}, this);
    return;
  }
  modGlobals::editorUsername = cp::toQString(row.column(column::kUserName));
  modGlobals::editorPassword = cp::toQString(row.column(column::kPassword));
  modGlobals::editorLocation = cp::toQString(row.column(column::kLocation));
  modGlobals::editorRow = number;
  modGlobals::editorMode = QStringLiteral("Edit");
  platform::forms::show<frmAdd>();
}

void Form1::cmdDelete_Click() {
  platform::ListItems& list = lstPass->items();
  const std::int64_t number = selectedRowOrSay(list, QStringLiteral("You must first select an entry to delete."));
  if (number == 0) return;
  const std::uint64_t key = list.row(number).key();
  const modGlobals::Entry confirmed = modGlobals::Entry::of(list.row(number));
  const QString text = QStringLiteral("Are you sure you want to delete the following information?") + kCrLf + kCrLf +
                       QStringLiteral("Username: ") + cp::toQString(confirmed.userName) + kCrLf +
                       QStringLiteral("Password: ") + cp::toQString(confirmed.password) + kCrLf +
                       QStringLiteral("Used At: ") + cp::toQString(confirmed.location);
  if (mb::msgBox(text, mb::vbOKCancel | mb::vbDefaultButton1, QStringLiteral("Confirm Delete"), this) != mb::vbOK) {
    modGlobals::showStatusMessage(QStringLiteral("Entry not deleted, cancelled by user"));
    return;
  }
  // The box lets events run; find the entry again rather than trusting its old row number. A list
  // read again meanwhile (data.enc changed on disk) has new rows: then its texts find it.
  std::int64_t now = list.findKey(key);
  if (now == 0) now = modGlobals::findEntry(list, confirmed);
  if (now == 0) {
    modGlobals::showStatusMessage(QStringLiteral("The entry is no longer in the list."));
    return;
  }
  // A failed save leaves the list as the file holds it, and the status bar says why.
  if (!modGlobals::removeEntry(now, confirmed)) return;
  modGlobals::showStatusMessage(QStringLiteral("Entry deleted successfully, data saved."));
}

void Form1::cmdCopy_Click(int index) {
  static const std::array<QString, 3> prefixes = {
      QStringLiteral("Copied Username "), QStringLiteral("Copied Password "), QStringLiteral("Copied Location ")};
  if (index < 0 || index > 2) return;
  platform::clipboard::clear();
  const platform::ListItems& list = lstPass->items();
  const std::int64_t number = selectedRowOrSay(list, QStringLiteral("You must first select a row to copy from."));
  if (number == 0) return;
  const QString value = cp::toQString(list.row(number).column(index));
  platform::clipboard::setText(value, true, clipboardLifetime(),
                               [] { modGlobals::showStatusMessage(QStringLiteral("Clipboard cleared.")); });
  modGlobals::showStatusMessage(prefixes[static_cast<std::size_t>(index)] + value);
}

void Form1::cmdGoto_Click() {
  const platform::ListItems& list = lstPass->items();
  const std::int64_t number = selectedRowOrSay(list, QStringLiteral("You must first select an entry to go to."));
  if (number == 0) return;
  modGlobals::showStatusMessage(QStringLiteral("Opening Location..."));
  const QString location = withWebScheme(cp::toQString(list.row(number).column(column::kLocation)));
  QString error;
  if (!platform::shell::startCommandLine(QStringLiteral("explorer ") + location, platform::shell::vbMinimizedFocus,
                                         &error))
    modGlobals::showStatusMessage(QStringLiteral("Could not open the location: ") + error);
}

void Form1::cmdWebsite_Click(int /*index*/) { platform::forms::show(platform::windows::kFrmWebsite); }

void Form1::lstPass_ColumnClick(int columnHeaderIndex) {
  modListViewEnh::EnhListView_SortColumns(*lstPass, columnHeaderIndex, false);
}

void Form1::mnuFileItem_Click(int index) {
  if (index == 0) platform::forms::unload(name());
}

void Form1::mnuDataItem_Click(int index) {
  switch (index) {
    case 0: cmdAdd_Click(0); break;
    case 1: cmdDelete_Click(); break;
    case 2: cmdEdit_Click(); break;
    case 3: cmdGoto_Click(); break;
    default: break;
  }
}

void Form1::mnuCopyItem_Click(int index) { cmdCopy_Click(index); }

void Form1::mnuLock_Click() { emit lockRequested(); }

void Form1::mnuEncrypt_Click() { platform::forms::show(platform::windows::kFrmEncrypt); }

void Form1::mnuChangePassword_Click() { platform::forms::show(platform::windows::kFrmChangePassword); }

void Form1::mnuFind_Click() {
  if (auto* find = platform::forms::show<frmFind>()) {
    find->activateWindow();
    find->txtFind->setFocus();
    find->txtFind->selectAll();
  }
}

void Form1::mnuHelpItem_Click(int /*index*/) { platform::forms::show(platform::windows::kForm8); }

void Form1::mnuAboutItem_Click(int /*index*/) { platform::forms::show(platform::windows::kFrmAbout); }
