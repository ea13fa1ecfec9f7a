// The main window's Import and Export: the boxes, the choosers and the status line around the
// transfer layer's readers and writer.
#include "Form1.h"
#include "list/modGlobals.h"
#include "platform/base/Files.h"
#include "platform/forms/ListView.h"
#include "platform/forms/MessageBox.h"
#include "transfer/Export.h"
#include "transfer/Import.h"
#include "TransferChoosers.h"
#include "vault/EntryChange.h"
#include "vault/modGlobals.h"
#include "vault/SealedVault.h"

#include <optional>
#include <string>

namespace mb = platform::msgbox;

namespace {

const QString kImportTitle = QStringLiteral("Import Entries");

// The largest file Import reads, as for the vault itself.
constexpr std::uint64_t kMaxImportSize = 1ULL << 30;

QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

void Form1::mnuImport_Click() {
  const QString path = transferChoosers::chooseImportFile(this);
  if (path.isEmpty()) return;
  const std::string name = platform::files::nameOf(path.toStdString());
  const auto refuse = [&](const std::string& why) {
    mb::msgBox(qs("Could not import " + name + ": " + why + "."), mb::vbOKOnly | mb::vbExclamation, kImportTitle, this);
  };
  platform::SecretBytes bytes;
  const platform::files::FileRead read = platform::files::readFile(path.toStdString(), bytes, kMaxImportSize);
  if (!read) {
    refuse(read.outcome == platform::files::FileRead::Outcome::TooLarge      ? "The file is larger than 1 GiB"
           : read.outcome == platform::files::FileRead::Outcome::OutOfMemory ? "Not enough memory to read it"
                                                                             : read.error);
    return;
  }
  if (vault::sealed::isSealed(bytes)) {
    // Most often the user's own other vault: the master password is tried first, unasked.
    platform::SecretText password = modGlobals::masterPassword;
    for (bool asked = false;; asked = true) {
      auto opened = modGlobals::openSealedFile(bytes, password);
      if (!opened) {
        refuse(opened.why());
        return;
      }
      if (*opened) {
        bytes = std::move(**opened);
        break;
      }
      if (asked)
        mb::msgBox(QStringLiteral("Sorry, the password you entered was not correct."), mb::vbOKOnly,
                   QStringLiteral("Incorrect Password"), this);
      std::optional<platform::SecretText> typed = transferChoosers::askVaultPassword(this, qs(name));
      if (!typed) return;
      password = std::move(*typed);
    }
  }
  auto plan = transfer::planImport(bytes, lstPass->items());
  bytes.wipe();
  if (!plan) {
    refuse(plan.why());
    return;
  }
  if (plan->entries.count() == 0) {
    mb::msgBox(qs(transfer::nothingToImport(*plan, name)), mb::vbOKOnly | mb::vbInformation, kImportTitle, this);
    return;
  }
  if (mb::msgBox(qs(transfer::importQuestion(*plan, name)), mb::vbOKCancel | mb::vbQuestion, kImportTitle, this) !=
      mb::vbOK) {
    modGlobals::showStatusMessage(QStringLiteral("Nothing imported, cancelled by user"));
    return;
  }
  // A failed save has said why in the status bar, and the list is as it was.
  auto added = modGlobals::addEntries(plan->entries);
  if (!added) return;
  modGlobals::showStatusMessage(
      QStringLiteral("Imported ") + QString::number(*added) +
      (*added == 1 ? QStringLiteral(" entry.  Data saved.") : QStringLiteral(" entries.  Data saved.")));
}

void Form1::mnuExport_Click() {
  if (mb::msgBox(QStringLiteral("The exported file holds every password in readable form.  Anyone who gets the file "
                                "can read them all.  Export anyway?"),
                 mb::vbOKCancel | mb::vbExclamation | mb::vbDefaultButton2, QStringLiteral("Export Entries"),
                 this) != mb::vbOK)
    return;
  const QString path = transferChoosers::chooseExportFile(this);
  if (path.isEmpty()) return;
  const QString name = QString::fromStdString(platform::files::nameOf(path.toStdString()));
  auto written = transfer::writeExport(path.toStdString(), lstPass->items());
  if (!written) {
    modGlobals::showStatusMessage(QStringLiteral("Could not export ") + name + QStringLiteral(": ") +
                                  qs(written.why()) + QStringLiteral("."));
    return;
  }
  modGlobals::showStatusMessage(QStringLiteral("Exported ") + QString::number(*written) +
                                (*written == 1 ? QStringLiteral(" entry to ") : QStringLiteral(" entries to ")) + name +
                                QStringLiteral("."));
}
