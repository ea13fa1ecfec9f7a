#pragma once
// The main window: the entry list, the command buttons, the menus and the status bar.
#include "platform/forms/Forms.h"
#include "platform/forms/WindowNames.h"

#include <QList>

class QAction;
class QMenu;
class QPushButton;

namespace platform {
class ListView;
class StatusBar;
}  // namespace platform

class Form1 final : public platform::Form {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(Form1)

 public:
  Form1();
  static QString name() { return platform::windows::kForm1; }

  // Controls, named as the design names them. Control arrays are lists indexed as designed.
  QList<QPushButton*> cmdAdd;  // index 0
  QPushButton* cmdDelete = nullptr;
  QPushButton* cmdEdit = nullptr;
  QPushButton* cmdGoto = nullptr;
  QList<QPushButton*> cmdWebsite;  // index 0
  QList<QPushButton*> cmdCopy;     // 0 to 2
  platform::ListView* lstPass = nullptr;
  platform::StatusBar* StatusBar1 = nullptr;

  QMenu* mnuFile = nullptr;
  QMenu* mnuData = nullptr;
  QMenu* mnuCopy = nullptr;
  QMenu* mnuHelp = nullptr;
  QMenu* mnuAbout = nullptr;
  QAction* mnuLock = nullptr;     // "Lock", above the designed items
  QAction* mnuEncrypt = nullptr;  // "Encrypt Vault..." or, while encrypted, "Remove Encryption..."
  QAction* mnuChangePassword = nullptr;
  QAction* mnuFind = nullptr;  // "Find...", after the Data menu's designed items
  QAction* mnuImport = nullptr;
  QAction* mnuExport = nullptr;
  QList<QAction*> mnuFileItem;   // 0
  QList<QAction*> mnuDataItem;   // 0 to 3
  QList<QAction*> mnuCopyItem;   // 0 to 2
  QList<QAction*> mnuHelpItem;   // 0
  QList<QAction*> mnuAboutItem;  // 0

  // Window events.
  void Form_Load() override;
  void Form_QueryUnload(bool& cancel) override;
  void Form_Unload() override;

  // Finishes the start once the master password dialog has succeeded.
  void afterFormLoad();

  // Entry commands.
  void cmdAdd_Click(int index);
  void cmdEdit_Click();
  void cmdDelete_Click();
  void cmdCopy_Click(int index);
  void cmdGoto_Click();
  void cmdWebsite_Click(int index);
  void lstPass_ColumnClick(int columnHeaderIndex);
  void mnuFileItem_Click(int index);
  void mnuLock_Click();
  void mnuEncrypt_Click();
  void mnuChangePassword_Click();
  void mnuFind_Click();
  void mnuImport_Click();
  void mnuExport_Click();
  void mnuDataItem_Click(int index);
  void mnuCopyItem_Click(int index);
  void mnuHelpItem_Click(int index);
  void mnuAboutItem_Click(int index);

 signals:
  // The user asks to lock Keyloft now; the composer does it.
  void lockRequested();

 private:
  void createMenus();
  void wireHandlers();  // the controls' and menu items' events to their handlers
};
