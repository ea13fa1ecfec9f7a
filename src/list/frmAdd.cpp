#include "frmAdd.h"

#include "app/modLivery.h"
#include "Form1.h"
#include "frmGenerate.h"
#include "list/modGlobals.h"
#include "platform/base/QtCodePage.h"
#include "platform/forms/Controls.h"
#include "platform/forms/ListView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/PictureButton.h"
#include "platform/forms/Twips.h"
#include "skin/modSkin.h"
#include "skin/SkinLabel.h"
#include "vault/modGlobals.h"
#include "vault/StorableText.h"

#include <QIcon>
#include <QLineEdit>

#include <array>
#include <limits>
#include <optional>
#include <string>

namespace cp = platform::codepage;
namespace mb = platform::msgbox;
namespace tw = platform::twips;

namespace {

const QString kErrorTitle = QStringLiteral("Error");
const QString kSaved = QStringLiteral("Added new entry.  Data saved.");
const QString kReAdded = QStringLiteral("The entry was deleted meanwhile; added as a new entry.  Data saved.");

// Why a field that failed the round trip can't be stored: a hint for the user, not the test.
QString unstorableReason(const QString& typed, bool nextFieldFollows) {
  if (!cp::representable(typed)) return QStringLiteral("it holds a character that the vault cannot store");
  if (typed.contains(QStringLiteral("|||")))
    return QStringLiteral("it holds \"|||\", which the vault puts between the fields");
  if (nextFieldFollows && typed.endsWith(QLatin1Char('|')))
    return QStringLiteral("it ends in \"|\", which would run into the next field");
  return QStringLiteral("it holds a control character that would break its line in the vault");
}

// The message naming the first field that would not come back from the vault as typed, or
// nothing when all do.
std::optional<QString> unstorableField(const std::array<QString, 3>& typed) {
  const auto i = vault::firstUnstorableField(
      {typed[0].toStdU16String(), typed[1].toStdU16String(), typed[2].toStdU16String()});
  if (!i) return std::nullopt;
  return QStringLiteral("The ") + entryFieldName(*i) + QStringLiteral(" cannot be saved as typed: ") +
         unstorableReason(typed[*i], *i < 2) + QLatin1Char('.');
}

QLineEdit* makeBox(QWidget* parent, SkinLabel* label, int top) {
  auto* box = new QLineEdit(parent);
  tw::setGeometry(box, 1320, top, 3255, 315);
  // No length limit: the default (32767) would cut a long field short, and Save would store that.
  box->setMaxLength(std::numeric_limits<int>::max());
  box->setAccessibleName(label->text());
  label->setBuddy(box);
  return box;
}

}  // namespace

frmAdd::frmAdd() : platform::Form(name()) {
  setClientSizeTwips(4680, 2610);
  setFixedBorder();
  QWidget* area = client();
  const QFont verdana = platform::verdana();

  SkinLabel1 = new SkinLabel(QStringLiteral("Username:"), area);
  tw::setGeometry(SkinLabel1, 120, 120, 1155, 255);
  txtUsername = makeBox(area, SkinLabel1, 60);
  SkinLabel2 = new SkinLabel(QStringLiteral("Password:"), area);
  tw::setGeometry(SkinLabel2, 120, 540, 1155, 255);
  txtPassword = makeBox(area, SkinLabel2, 480);  // shown in clear, unlike the master password
  SkinLabel3 = new SkinLabel(QStringLiteral("Website:"), area);
  tw::setGeometry(SkinLabel3, 120, 960, 1155, 255);
  txtWebsite = makeBox(area, SkinLabel3, 900);

  cmdAdd.append(new platform::PictureButton(QStringLiteral("Save"), QStringLiteral(":/icons/save.png"), area, 120, 1500,
                                            1155, 1035));
  // Midway between Save and Cancel, as large as they are; created between them for the tab order.
  cmdGenerate = new platform::PictureButton(QStringLiteral("Generate"), QStringLiteral(":/icons/generate.png"), area,
                                            1770, 1500, 1155, 1035);
  cmdDelete = new platform::PictureButton(QStringLiteral("Cancel"), QStringLiteral(":/icons/cancel.png"), area, 3420,
                                          1500, 1155, 1035);
  for (QWidget* w :
       {static_cast<QWidget*>(txtUsername), static_cast<QWidget*>(txtPassword), static_cast<QWidget*>(txtWebsite),
        static_cast<QWidget*>(cmdAdd[0]), static_cast<QWidget*>(cmdGenerate), static_cast<QWidget*>(cmdDelete)})
    w->setFont(verdana);

  connect(cmdAdd[0], &QPushButton::clicked, this, [this] { cmdAdd_Click(0); });
  connect(cmdDelete, &QPushButton::clicked, this, &frmAdd::cmdDelete_Click);
  connect(cmdGenerate, &QPushButton::clicked, this, &frmAdd::cmdGenerate_Click);
  connect(txtWebsite, &QLineEdit::returnPressed, this, [this] {
    int key = 13;
    txtWebsite_KeyPress(key);
  });
  centreOnScreen();
}

void frmAdd::Form_Load() {
  addMode_ = modGlobals::editorMode == QStringLiteral("Add");
  entryKey_ = 0;
  edited_ = {};
  if (addMode_) {
    setCaption(QStringLiteral("Add an entry"));
  } else {
    setCaption(QStringLiteral("Edit an entry"));
    txtUsername->setText(modGlobals::editorUsername);
    txtPassword->setText(modGlobals::editorPassword);
    txtWebsite->setText(modGlobals::editorLocation);
    // The row number is only good now: sorts and deletes move rows while the editor is open.
    if (auto* main = platform::forms::instance<Form1>(); main && main->lstPass) {
      const platform::ListItems& list = main->lstPass->items();
      if (modGlobals::editorRow >= 1 && modGlobals::editorRow <= list.count()) {
        entryKey_ = list.row(modGlobals::editorRow).key();
        edited_ = modGlobals::Entry::of(list.row(modGlobals::editorRow));
      }
    }
  }
  if (modLivery::useSkin) modSkin::applySkinOrLeaveUndressed(this);
}

void frmAdd::cmdAdd_Click(int /*index*/) {
  const std::array<QString, 3> typed = {txtUsername->text(), txtPassword->text(), txtWebsite->text()};
  if (typed[0].isEmpty()) {
    mb::msgBox(QStringLiteral("You must enter a username"), mb::vbOKOnly, kErrorTitle, this);
    return;
  }
  if (typed[1].isEmpty()) {
    mb::msgBox(QStringLiteral("You must enter a password"), mb::vbOKOnly, kErrorTitle, this);
    return;
  }
  if (auto problem = unstorableField(typed)) {
    mb::msgBox(*problem, mb::vbOKOnly, kErrorTitle, this);
    return;
  }

  auto* main = platform::forms::instance<Form1>();
  if (!main || !main->lstPass) return;
  const platform::ListItems& list = main->lstPass->items();
  const auto bytes = [&](std::size_t field) { return platform::SecretBytes(cp::toBytes(typed[field])); };
  const modGlobals::Entry entry{bytes(0), bytes(1), bytes(2)};

  // On a failed save the list is put back as it was, so it never shows what the file doesn't
  // hold; the editor stays open with the texts, and the status bar says why.
  QString done = kSaved;
  std::int64_t number = addMode_ ? 0 : list.findKey(entryKey_);
  // A list read again (data.enc changed on disk, or at an unlock) has new rows: the entry is found by
  // its texts.
  if (number == 0 && !addMode_) number = modGlobals::findEntry(list, edited_);
  if (number == 0) {
    if (!addMode_) done = kReAdded;
    if (!modGlobals::addEntry(entry)) return;
  } else if (auto replaced = modGlobals::replaceEntry(number, edited_, entry); !replaced) {
    return;
  } else if (replaced->addedAsNew) {
    done = kReAdded;
  }
  modGlobals::showStatusMessage(done);
  platform::forms::unload(name());
}

void frmAdd::cmdDelete_Click() { platform::forms::unload(name()); }

void frmAdd::cmdGenerate_Click() { platform::forms::show<frmGenerate>(); }

// The generator works for this editor: it goes with it.
void frmAdd::Form_Unload() { platform::forms::unload<frmGenerate>(); }

void frmAdd::txtWebsite_KeyPress(int& keyAscii) {
  if (keyAscii == 13) cmdAdd_Click(0);
}

QString entryFieldName(std::size_t field) {
  static const std::array<QString, 3> names = {QStringLiteral("username"), QStringLiteral("password"),
                                               QStringLiteral("website")};
  return names.at(field);
}

void registerEntryEditor() {
  platform::forms::registerForm(frmAdd::name(), [] { return new frmAdd; });
  platform::forms::registerForm(frmGenerate::name(), [] { return new frmGenerate; });
}
