#include "TransferChoosers.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>

namespace transferChoosers {
namespace {

Answers g_answers;

}  // namespace

void setAnswersForTests(Answers answers) { g_answers = std::move(answers); }

QString chooseImportFile(QWidget* parent) {
  if (g_answers.importFile) return g_answers.importFile();
  return QFileDialog::getOpenFileName(parent, QStringLiteral("Import"), QDir::homePath(),
                                      QStringLiteral("CSV exports and Keyloft vaults (*.csv *.enc);;All files (*)"));
}

QString chooseExportFile(QWidget* parent) {
  if (g_answers.exportFile) return g_answers.exportFile();
  return QFileDialog::getSaveFileName(parent, QStringLiteral("Export"),
                                      QDir::home().filePath(QStringLiteral("keyloft-export.csv")),
                                      QStringLiteral("CSV files (*.csv)"));
}

std::optional<platform::SecretText> askVaultPassword(QWidget* parent, const QString& fileName) {
  if (g_answers.vaultPassword) return g_answers.vaultPassword();
  QInputDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Import Entries"));
  dialog.setLabelText(QStringLiteral("The master password of ") + fileName + QStringLiteral(":"));
  dialog.setTextEchoMode(QLineEdit::Password);
  if (auto* box = dialog.findChild<QLineEdit*>()) {
    // Every character shows as "*", as in the master password dialog.
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    box->setAccessibleName(QStringLiteral("Master password"));
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  platform::SecretText typed = platform::secretOf(dialog.textValue());
  dialog.setTextValue(QString());
  return typed;
}

}  // namespace transferChoosers
