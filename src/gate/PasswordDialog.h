#pragma once
// The small dialogs the master password guards (encrypting the vault, changing the password):
// rows of masked boxes, an action button and Cancel, dressed like the password dialog. Skinned,
// above the main window; Enter presses the action (Cancel while it has the focus), Escape cancels.
#include "platform/forms/Forms.h"

#include <QList>

class QLineEdit;
class QPushButton;
class SkinLabel;

// A long step (a key derivation) under way: the flag is set and the cursor busy until the guard
// goes, however the step ends.
class BusyGuard {
 public:
  explicit BusyGuard(bool& busy);
  ~BusyGuard();
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  bool& busy_;
};

// A masked box whose every character shows as "*", named for screen readers.
QLineEdit* passwordField(QWidget* parent, const QString& accessibleName);

class PasswordDialog : public platform::Form {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(PasswordDialog)

 public:
  PasswordDialog(const QString& name, const QStringList& boxLabels);

  QList<SkinLabel*> labels;
  QList<QLineEdit*> boxes;
  QPushButton* cmdAction = nullptr;
  QPushButton* cmdCancel = nullptr;

  void Form_Load() override;
  void Form_QueryUnload(bool& cancel) override;
  void cmdAction_Click();
  void cmdCancel_Click();

 protected:
  virtual void act() = 0;
  // Runs a long step (a key derivation) with a busy cursor; clicks, keys and closing wait.
  template <class Work>
  auto whileBusy(Work work) {
    BusyGuard busy(busy_);
    return work();
  }
  // The box "Incorrect Password"; the box that held it is emptied and takes the focus.
  void tellWrongPassword(QLineEdit* box);
  int tell(const QString& text, int style = 0, const QString& title = {});
  // A sentence above the boxes, `height` twips tall: the rows move down and the dialog grows. For
  // a Form_Load, before the skin dresses the window.
  SkinLabel* addNote(const QString& text, int height);
  // The line "Strength: <label> (<n> bits)" under a box, kept up to date while it is typed; the
  // rows below move down. For a Form_Load or a constructor, before the skin dresses the window.
  SkinLabel* addStrengthLine(QLineEdit* box);

 private:
  bool busy_ = false;
};
