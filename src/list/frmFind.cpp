#include "frmFind.h"

#include "app/modLivery.h"
#include "app/modOnTop.h"
#include "Form1.h"
#include "list/modGlobals.h"
#include "platform/base/ListSearch.h"
#include "platform/base/QtCodePage.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DialogKeys.h"
#include "platform/forms/ListView.h"
#include "platform/forms/Twips.h"
#include "skin/modSkin.h"
#include "skin/SkinLabel.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace cp = platform::codepage;
namespace tw = platform::twips;

frmFind::frmFind() : Form(name()) {
  setFont(platform::verdana());
  setClientSizeTwips(5535, 1095);
  setFixedBorder();
  QWidget* area = client();
  SkinLabel1 = new SkinLabel(QStringLiteral("Find what:"), area);
  tw::setGeometry(SkinLabel1, 120, 180, 1035, 255);
  txtFind = new QLineEdit(area);
  tw::setGeometry(txtFind, 1200, 120, 2895, 315);
  txtFind->setAccessibleName(QStringLiteral("Find what:"));
  SkinLabel1->setBuddy(txtFind);
  chkMatchCase = new QCheckBox(QStringLiteral("Match case"), area);
  tw::setGeometry(chkMatchCase, 1200, 600, 2895, 255);
  chkMatchCase->setAccessibleName(QStringLiteral("Match case"));
  cmdFindNext = platform::commandButton(QStringLiteral("Find Next"), area, 4215, 120, 1215, 375);
  cmdCancel = platform::commandButton(QStringLiteral("Cancel"), area, 4215, 600, 1215, 375);
  // Nothing to look for until something is typed.
  cmdFindNext->setEnabled(false);
  connect(txtFind, &QLineEdit::textChanged, this,
          [this](const QString& text) { cmdFindNext->setEnabled(!text.isEmpty()); });

  connect(cmdFindNext, &QPushButton::clicked, this, &frmFind::cmdFindNext_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmFind::cmdCancel_Click);
  platform::wireDialogKeys(this, cmdFindNext, cmdCancel);
  centreOnScreen();
}

void frmFind::Form_Load() {
  setCaption(QStringLiteral("Find"));
  modOnTop::setOnTop(this, -1);
  if (modLivery::useSkin) modSkin::applySkinOrLeaveUndressed(this);
  txtFind->setFocus();
}

void frmFind::cmdFindNext_Click() {
  const QString what = txtFind->text();
  auto* main = platform::forms::instance<Form1>();
  if (what.isEmpty() || !main || !main->lstPass) return;
  const platform::ListItems& list = main->lstPass->items();
  // A character the code page lacks is in no entry: the vault cannot hold it.
  std::int64_t found = 0;
  if (cp::representable(what))
    found = platform::RowFinder(cp::toBytes(what), chkMatchCase->isChecked()).next(list, list.firstSelected());
  if (found == 0) {
    modGlobals::showStatusMessage(QStringLiteral("Cannot find \"") + what + QStringLiteral("\"."));
    return;
  }
  main->lstPass->selectRow(found);
}

void frmFind::cmdCancel_Click() { platform::forms::unload(name()); }

void registerFindWindow() {
  platform::forms::registerForm(frmFind::name(), [] { return new frmFind; });
}
