#include "PasswordDialog.h"

#include "app/modLivery.h"
#include "app/modOnTop.h"
#include "platform/base/Secret.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DialogKeys.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/Twips.h"
#include "skin/modSkin.h"
#include "skin/SkinLabel.h"
#include "vault/PasswordGenerator.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace tw = platform::twips;
namespace mb = platform::msgbox;

namespace {

constexpr int kRowHeight = 420;
constexpr int kClientWidth = 5535;

}  // namespace

QLineEdit* passwordField(QWidget* parent, const QString& accessibleName) {
  auto* field = new QLineEdit(parent);
  field->setEchoMode(QLineEdit::Password);
  // Every character shows as "*", whatever the style's own mask character is.
  field->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
  field->setAccessibleName(accessibleName);
  return field;
}

PasswordDialog::PasswordDialog(const QString& name, const QStringList& boxLabels) : Form(name) {
  setFont(platform::verdana());
  QWidget* area = client();
  for (qsizetype i = 0; i < boxLabels.size(); ++i) {
    const int top = 120 + static_cast<int>(i) * kRowHeight;
    auto* label = new SkinLabel(boxLabels[i], area);
    tw::setGeometry(label, 120, top + 60, 2055, 255);
    QLineEdit* box = passwordField(area, boxLabels[i]);
    tw::setGeometry(box, 2235, top, 3180, 315);
    label->setBuddy(box);
    labels << label;
    boxes << box;
  }
  const int buttonsTop = 120 + static_cast<int>(boxLabels.size()) * kRowHeight + 60;
  cmdAction = platform::commandButton(QString(), area, 3120, buttonsTop, 1095, 495);
  cmdCancel = platform::commandButton(QStringLiteral("Cancel"), area, 4320, buttonsTop, 1095, 495);
  setClientSizeTwips(kClientWidth, buttonsTop + 495 + 120);
  setFixedBorder();

  connect(cmdAction, &QPushButton::clicked, this, [this] { cmdAction_Click(); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  platform::wireDialogKeys(this, cmdAction, cmdCancel);
  centreOnScreen();
}

void PasswordDialog::Form_Load() {
  for (QLineEdit* box : boxes) box->clear();
  raise();
  modOnTop::setOnTop(this, -1);
  if (modLivery::useSkin) modSkin::applySkinOrLeaveUndressed(this);
  boxes.front()->setFocus();
}

void PasswordDialog::Form_QueryUnload(bool& cancel) {
  if (busy_) cancel = true;
}

void PasswordDialog::cmdAction_Click() {
  if (!busy_) act();
}

void PasswordDialog::cmdCancel_Click() {
  if (!busy_) platform::forms::unload(formName());
}

void PasswordDialog::tellWrongPassword(QLineEdit* box) {
  tell(QStringLiteral("Sorry, the password you entered was not correct."), mb::vbOKOnly,
       QStringLiteral("Incorrect Password"));
  box->clear();
  box->setFocus();
}

int PasswordDialog::tell(const QString& text, int style, const QString& title) {
  return mb::msgBox(text, style, title, this);
}

SkinLabel* PasswordDialog::addNote(const QString& text, int height) {
  constexpr int kGap = 60;
  for (QWidget* control : client()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    tw::setTop(control, tw::top(control) + height + kGap);
  auto* note = new SkinLabel(text, client());
  note->setAccessibleName(text);
  tw::setGeometry(note, 120, 120, kClientWidth - 240, height);
  setClientSizeTwips(kClientWidth, clientHeightTwips() + height + kGap);
  centreOnScreen();
  return note;
}

SkinLabel* PasswordDialog::addStrengthLine(QLineEdit* box) {
  constexpr int kHeight = 255;
  constexpr int kGap = 60;
  const int below = tw::top(box) + tw::height(box);
  for (QWidget* control : client()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (tw::top(control) >= below) tw::setTop(control, tw::top(control) + kHeight + kGap);
  auto* line = new SkinLabel(QString(), client());
  line->setAccessibleName(QStringLiteral("Strength"));
  tw::setGeometry(line, tw::left(box), below + kGap / 2, tw::width(box), kHeight);
  setClientSizeTwips(kClientWidth, clientHeightTwips() + kHeight + kGap);
  connect(box, &QLineEdit::textChanged, line, [line](const QString& typed) {
    line->setText(QString::fromStdU16String(vault::strengthLine(platform::viewOf(typed))));
  });
  centreOnScreen();
  return line;
}

BusyGuard::BusyGuard(bool& busy) : busy_(busy) {
  busy_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyGuard::~BusyGuard() {
  QApplication::restoreOverrideCursor();
  busy_ = false;
}
