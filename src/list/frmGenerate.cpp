#include "frmGenerate.h"

#include "app/modLivery.h"
#include "app/modOnTop.h"
#include "frmAdd.h"
#include "platform/base/Settings.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DialogKeys.h"
#include "platform/forms/Twips.h"
#include "skin/modSkin.h"
#include "skin/SkinLabel.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <array>

namespace tw = platform::twips;
using vault::PasswordRecipe;

namespace {

const QString kSection = QStringLiteral("Generator");
const std::array<QString, 5> kKindKeys = {QStringLiteral("upperCase"), QStringLiteral("lowerCase"),
                                          QStringLiteral("digits"), QStringLiteral("symbols"),
                                          QStringLiteral("avoidLookAlikes")};

std::array<bool*, 5> switchesOf(PasswordRecipe& r) {
  return {&r.upper, &r.lower, &r.digits, &r.symbols, &r.avoidLookAlikes};
}

QString setting(const QString& key, const QString& fallback) {
  return platform::settings::getSetting(modLivery::productName, kSection, key, fallback);
}

}  // namespace

PasswordRecipe loadGeneratorRecipe() {
  PasswordRecipe r;
  bool number = false;
  const int length = setting(QStringLiteral("length"), QString()).trimmed().toInt(&number);
  if (number) r.length = std::clamp(length, PasswordRecipe::kMinLength, PasswordRecipe::kMaxLength);
  const auto switches = switchesOf(r);
  for (std::size_t i = 0; i < switches.size(); ++i) {
    const QString value = setting(kKindKeys[i], QString()).trimmed();
    if (value == QStringLiteral("1") || value == QStringLiteral("0")) *switches[i] = value == QStringLiteral("1");
  }
  return r;
}

void saveGeneratorRecipe(const PasswordRecipe& recipe) {
  PasswordRecipe r = recipe;
  platform::settings::saveSetting(modLivery::productName, kSection, QStringLiteral("length"),
                                  QString::number(r.length));
  const auto switches = switchesOf(r);
  for (std::size_t i = 0; i < switches.size(); ++i)
    platform::settings::saveSetting(modLivery::productName, kSection, kKindKeys[i],
                                    *switches[i] ? QStringLiteral("1") : QStringLiteral("0"));
}

frmGenerate::frmGenerate() : Form(name()) {
  setFont(platform::verdana());
  QWidget* area = client();
  auto* lengthLabel = new SkinLabel(QStringLiteral("Length:"), area);
  tw::setGeometry(lengthLabel, 120, 180, 1035, 255);
  txtLength = new QSpinBox(area);
  txtLength->setRange(PasswordRecipe::kMinLength, PasswordRecipe::kMaxLength);
  txtLength->setAccessibleName(QStringLiteral("Length:"));
  tw::setGeometry(txtLength, 1200, 120, 1095, 315);
  lengthLabel->setBuddy(txtLength);

  const QStringList kinds = {QStringLiteral("Upper case (A-Z)"), QStringLiteral("Lower case (a-z)"),
                             QStringLiteral("Digits (0-9)"), QStringLiteral("Symbols (!#$%...)"),
                             QStringLiteral("Avoid look-alikes (I l 1 O 0)")};
  for (qsizetype i = 0; i < kinds.size(); ++i) {
    auto* box = new QCheckBox(kinds[i], area);
    box->setAccessibleName(kinds[i]);
    tw::setGeometry(box, 120, 540 + static_cast<int>(i) * 300, 5295, 255);
    chkKind << box;
  }

  txtPassword = new QLineEdit(area);
  txtPassword->setReadOnly(true);
  txtPassword->setAccessibleName(QStringLiteral("Password"));
  // A fixed-width font keeps look-alikes such as l and 1 apart.
  txtPassword->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  tw::setGeometry(txtPassword, 120, 2100, 5295, 315);
  lblStrength = new SkinLabel(QString(), area);
  lblStrength->setAccessibleName(QStringLiteral("Strength"));
  tw::setGeometry(lblStrength, 120, 2520, 5295, 255);

  cmdNew = platform::commandButton(QStringLiteral("New"), area, 1920, 2940, 1095, 495);
  cmdUse = platform::commandButton(QStringLiteral("Use"), area, 3120, 2940, 1095, 495);
  cmdCancel = platform::commandButton(QStringLiteral("Cancel"), area, 4320, 2940, 1095, 495);
  setClientSizeTwips(5535, 2940 + 495 + 120);
  setFixedBorder();

  connect(txtLength, &QSpinBox::valueChanged, this, &frmGenerate::choicesChanged);
  for (QCheckBox* box : chkKind) connect(box, &QCheckBox::toggled, this, &frmGenerate::choicesChanged);
  connect(cmdNew, &QPushButton::clicked, this, &frmGenerate::cmdNew_Click);
  connect(cmdUse, &QPushButton::clicked, this, &frmGenerate::cmdUse_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmGenerate::cmdCancel_Click);
  platform::wireDialogKeys(this, cmdUse, cmdCancel);
  centreOnScreen();
}

void frmGenerate::Form_Load() {
  setCaption(QStringLiteral("Generate Password"));
  PasswordRecipe r = loadGeneratorRecipe();
  {
    const QSignalBlocker quiet(txtLength);
    txtLength->setValue(r.length);
  }
  const auto switches = switchesOf(r);
  for (qsizetype i = 0; i < chkKind.size(); ++i) {
    const QSignalBlocker quiet(chkKind[i]);
    chkKind[i]->setChecked(*switches[static_cast<std::size_t>(i)]);
  }
  cmdNew_Click();
  raise();
  modOnTop::setOnTop(this, -1);
  if (modLivery::useSkin) modSkin::applySkinOrLeaveUndressed(this);
  cmdUse->setFocus();
}

PasswordRecipe frmGenerate::recipe() const {
  PasswordRecipe r;
  r.length = txtLength->value();
  const auto switches = switchesOf(r);
  for (qsizetype i = 0; i < chkKind.size(); ++i) *switches[static_cast<std::size_t>(i)] = chkKind[i]->isChecked();
  return r;
}

void frmGenerate::choicesChanged() {
  saveGeneratorRecipe(recipe());
  cmdNew_Click();
}

void frmGenerate::cmdNew_Click() {
  auto made = vault::generatePassword(recipe());
  password_ = made.ok() ? std::move(*made) : platform::SecretText();
  txtPassword->setText(platform::qStringOf(password_));
  lblStrength->setText(made.ok() ? QString::fromStdU16String(vault::strengthLine(password_.view()))
                                 : QString::fromStdString(made.why()) + QLatin1Char('.'));
  cmdUse->setEnabled(made.ok());
}

void frmGenerate::cmdUse_Click() {
  if (password_.empty()) return;
  if (auto* editor = platform::forms::instance<frmAdd>()) editor->txtPassword->setText(platform::qStringOf(password_));
  platform::forms::unload(name());
}

void frmGenerate::cmdCancel_Click() { platform::forms::unload(name()); }
