#pragma once
// The entry editor: one entry's user name, password and location, saved into the main window's
// list and the vault, or discarded.
#include "platform/forms/Forms.h"
#include "platform/forms/WindowNames.h"
#include "vault/EntryChange.h"

#include <QList>

#include <cstddef>
#include <cstdint>

class QLineEdit;
class QPushButton;
class SkinLabel;

class frmAdd final : public platform::Form {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(frmAdd)

 public:
  frmAdd();
  static QString name() { return platform::windows::kFrmAdd; }

  SkinLabel* SkinLabel1 = nullptr;
  QLineEdit* txtUsername = nullptr;
  SkinLabel* SkinLabel2 = nullptr;
  QLineEdit* txtPassword = nullptr;
  SkinLabel* SkinLabel3 = nullptr;
  QLineEdit* txtWebsite = nullptr;
  QList<QPushButton*> cmdAdd;          // index 0: Save
  QPushButton* cmdDelete = nullptr;    // Cancel
  QPushButton* cmdGenerate = nullptr;  // opens the password generator

  void Form_Load() override;
  void Form_Unload() override;
  void cmdAdd_Click(int index);
  void cmdDelete_Click();
  void cmdGenerate_Click();
  // Typed in the location box; Enter (13) saves. The code is passed on unchanged.
  void txtWebsite_KeyPress(int& keyAscii);

  // What the editor was opened for, fixed at load: the hand-over state may change while it is open.
  bool addMode() const { return addMode_; }
  std::uint64_t entryKey() const { return entryKey_; }

 private:
  bool addMode_ = true;
  std::uint64_t entryKey_ = 0;  // the edited row's key; 0 in add mode
  modGlobals::Entry edited_;    // the edited row's texts when the editor opened
};

// The longest field the editor opens. Its line boxes lay out the whole text, and a field of
// megabytes (only a damaged or hostile file holds one) would freeze Keyloft for seconds.
inline constexpr std::size_t kMaxEditableField = 100'000;

// How the editor's messages name a field: 0 "username", 1 "password", 2 "website".
QString entryFieldName(std::size_t field);

// Registers the editor and its password generator with the forms runtime under their names.
void registerEntryEditor();
