#pragma once
// The Find window: looks for a text in every column of the main window's list, from the row after
// the selected one in the list's current order, and selects the next row that holds it. On top of
// the main window, not modal; Enter is Find Next, Escape is Cancel.
#include "platform/forms/Forms.h"
#include "platform/forms/WindowNames.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class SkinLabel;

class frmFind final : public platform::Form {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(frmFind)

 public:
  frmFind();
  static QString name() { return platform::windows::kFrmFind; }

  SkinLabel* SkinLabel1 = nullptr;
  QLineEdit* txtFind = nullptr;
  QCheckBox* chkMatchCase = nullptr;
  QPushButton* cmdFindNext = nullptr;
  QPushButton* cmdCancel = nullptr;

  void Form_Load() override;
  void cmdFindNext_Click();
  void cmdCancel_Click();
};

// Registers the Find window with the forms runtime under its name.
void registerFindWindow();
