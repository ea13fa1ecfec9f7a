// The main window: its layout, its start once the gate has been passed, and its unload, which
// ends the program.
#include "Form1.h"

#include "app/endProgram.h"
#include "app/modLivery.h"
#include "app/Resources.h"
#include "platform/base/Settings.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ListView.h"
#include "platform/forms/PictureButton.h"
#include "platform/forms/StatusBar.h"
#include "platform/forms/Twips.h"
#include "platform/forms/WindowNames.h"
#include "skin/modSkin.h"
#include "vault/modGlobals.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace tw = platform::twips;
namespace forms = platform::forms;
namespace windows = platform::windows;

namespace {

QPushButton* pictureButton(QWidget* parent, const QString& caption, const char* picture, int left, int top, int width,
                           int height) {
  const QString file = QLatin1StringView(":/icons/") + QLatin1StringView(picture) + QLatin1StringView(".png");
  return new platform::PictureButton(caption, file, parent, left, top, width, height);
}

}  // namespace

Form1::Form1() : Form(name()) {
  setFont(platform::verdana());
  setClientSizeTwips(9015, 6555);
  setFixedBorder();
  centreOnScreen();

  resources::initResources();
  QWidget* area = client();
  cmdAdd << pictureButton(area, QStringLiteral("Add"), "add", 60, 60, 1155, 1035);
  cmdDelete = pictureButton(area, QStringLiteral("Delete"), "delete", 1260, 60, 1155, 1035);
  cmdEdit = pictureButton(area, QStringLiteral("Edit"), "edit", 2460, 60, 1155, 1035);
  cmdGoto = pictureButton(area, QStringLiteral("Go To"), "goto", 3660, 60, 1155, 1035);
  cmdWebsite << pictureButton(area, QStringLiteral("Visit"), "website", 4860, 60, 4095, 1035);
  cmdCopy << pictureButton(area, QStringLiteral("Copy Username"), "copy-username", 60, 1140, 2355, 795)
          << pictureButton(area, QStringLiteral("Copy Password"), "copy-password", 2460, 1140, 2355, 795)
          << pictureButton(area, QStringLiteral("Copy Used At"), "copy-location", 4860, 1140, 4095, 795);

  lstPass = new platform::ListView(area);
  tw::setGeometry(lstPass, 60, 1980, 8895, 4215);
  lstPass->setAccessibleName(QStringLiteral("Password list"));
  StatusBar1 = new platform::StatusBar(area);
  tw::setGeometry(StatusBar1, 0, 6240, 9015, 315);
  StatusBar1->setAccessibleName(QStringLiteral("Status bar"));

  // Designed tab order: Add, Edit, Delete, Visit, the list, Copy Username, Go To, Copy Password,
  // Copy Used At (the status bar takes no focus).
  const QList<QWidget*> tabOrder = {cmdAdd[0],  cmdEdit, cmdDelete,  cmdWebsite[0], lstPass,
                                    cmdCopy[0], cmdGoto, cmdCopy[1], cmdCopy[2]};
  for (qsizetype i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

  createMenus();
  wireHandlers();
}

void Form1::createMenus() {
  QMenuBar* menus = menuBar();
  auto items = [](QMenu* menu, std::initializer_list<QString> captions) {
    QList<QAction*> actions;
    for (const QString& caption : captions) actions << menu->addAction(caption);
    return actions;
  };
  mnuFile = menus->addMenu(QStringLiteral("File"));
  mnuLock = mnuFile->addAction(QStringLiteral("Lock"));
  mnuFile->addSeparator();
  mnuEncrypt = mnuFile->addAction(QStringLiteral("Encrypt Vault..."));
  mnuChangePassword = mnuFile->addAction(QStringLiteral("Change Master Password..."));
  mnuFile->addSeparator();
  mnuImport = mnuFile->addAction(QStringLiteral("Import..."));
  mnuExport = mnuFile->addAction(QStringLiteral("Export..."));
  mnuFile->addSeparator();
  mnuFileItem = items(mnuFile, {QStringLiteral("Exit")});
  // The first item says what it will do to the vault as it is now.
  connect(mnuFile, &QMenu::aboutToShow, this, [this] {
    mnuEncrypt->setText(modGlobals::vaultSealed() ? QStringLiteral("Remove Encryption...")
                                                  : QStringLiteral("Encrypt Vault..."));
  });
  mnuData = menus->addMenu(QStringLiteral("Data"));
  mnuDataItem = items(mnuData, {QStringLiteral("Add Username/Password"), QStringLiteral("Delete Selected Item"),
                                QStringLiteral("Edit Selected Item"), QStringLiteral("Goto \"Used At\" Location")});
  mnuData->addSeparator();
  mnuFind = mnuData->addAction(QStringLiteral("Find..."));
  mnuFind->setShortcut(QKeySequence::Find);
  mnuCopy = menus->addMenu(QStringLiteral("Copy"));
  mnuCopyItem = items(mnuCopy, {QStringLiteral("Selected Username"), QStringLiteral("Selected Password"),
                                QStringLiteral("Selected Used At Location")});
  mnuHelp = menus->addMenu(QStringLiteral("Help"));
  mnuHelpItem = items(mnuHelp, {QStringLiteral("View Help")});
  mnuAbout = menus->addMenu(QStringLiteral("About"));
  mnuAboutItem = items(mnuAbout, {QStringLiteral("About this software")});
}

void Form1::wireHandlers() {
  connect(cmdAdd[0], &QPushButton::clicked, this, [this] { cmdAdd_Click(0); });
  connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
  connect(cmdEdit, &QPushButton::clicked, this, [this] { cmdEdit_Click(); });
  connect(cmdGoto, &QPushButton::clicked, this, [this] { cmdGoto_Click(); });
  connect(cmdWebsite[0], &QPushButton::clicked, this, [this] { cmdWebsite_Click(0); });
  for (int i = 0; i < cmdCopy.size(); ++i)
    connect(cmdCopy[i], &QPushButton::clicked, this, [this, i] { cmdCopy_Click(i); });
  connect(lstPass, &platform::ListView::columnClicked, this, &Form1::lstPass_ColumnClick);
  auto wire = [this](const QList<QAction*>& actions, void (Form1::*handler)(int)) {
    for (int i = 0; i < actions.size(); ++i)
      connect(actions[i], &QAction::triggered, this, [this, handler, i] { (this->*handler)(i); });
  };
  wire(mnuFileItem, &Form1::mnuFileItem_Click);
  connect(mnuLock, &QAction::triggered, this, [this] { mnuLock_Click(); });
  connect(mnuEncrypt, &QAction::triggered, this, [this] { mnuEncrypt_Click(); });
  connect(mnuChangePassword, &QAction::triggered, this, [this] { mnuChangePassword_Click(); });
  connect(mnuFind, &QAction::triggered, this, [this] { mnuFind_Click(); });
  connect(mnuImport, &QAction::triggered, this, [this] { mnuImport_Click(); });
  connect(mnuExport, &QAction::triggered, this, [this] { mnuExport_Click(); });
  wire(mnuDataItem, &Form1::mnuDataItem_Click);
  wire(mnuCopyItem, &Form1::mnuCopyItem_Click);
  wire(mnuHelpItem, &Form1::mnuHelpItem_Click);
  wire(mnuAboutItem, &Form1::mnuAboutItem_Click);
}

void Form1::Form_Load() {
  setCaption(modLivery::productName % QStringLiteral(" by ") % modLivery::companyName);
  const QString visit = QStringLiteral("Visit ") % modLivery::productSiteName;
  cmdWebsite[0]->setText(visit);
  cmdWebsite[0]->setAccessibleName(visit);
  lstPass->setColumnWidthTwips(lstPass->addColumn(QStringLiteral("Username")), tw::width(cmdCopy[0]) - 10);
  lstPass->setColumnWidthTwips(lstPass->addColumn(QStringLiteral("Password")), tw::width(cmdCopy[1]) + 20);
  lstPass->setColumnWidthTwips(lstPass->addColumn(QStringLiteral("Website/Location")), tw::width(cmdCopy[2]));
  StatusBar1->setPanelWidthTwips(1, outerWidthTwips());
  modGlobals::openVault();
}

void Form1::afterFormLoad() {
  if (modLivery::useSkin) modSkin::applySkinOrLeaveUndressed(this);
  setVisible(true);
  const QString showHelp = platform::settings::getSetting(modLivery::productName, QStringLiteral("Settings"),
                                                          QStringLiteral("showHelp"), QStringLiteral("1"));
  if (showHelp == QStringLiteral("1")) forms::show(windows::kForm8);
  forms::unload(windows::kFrmPass);
  modGlobals::watchVaultFile();
}

void Form1::Form_QueryUnload(bool& /*cancel*/) {}

void Form1::Form_Unload() {
  for (const QLatin1StringView window : {windows::kForm8, windows::kFrmAbout, windows::kFrmFind, windows::kFrmAdd,
                                         windows::kFrmEncrypt, windows::kFrmChangePassword, windows::kFrmSplash})
    forms::unload(window);
  const QWidget* browser = forms::instance(windows::kFrmWebsite);
  if (browser && browser->isVisible()) {
    // The browser window carries on alone and ends the program when it closes.
    app::endWhenBrowserCloses = true;
    return;
  }
  if (modLivery::useSkin) modSkin::companionClose();
  forms::unload(windows::kFrmWebsite);
  endProgram();
}
