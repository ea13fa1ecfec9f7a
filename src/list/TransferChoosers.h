#pragma once
// What Import and Export ask the user besides their boxes: the file to read or write (Qt's file
// choosers) and the password of another encrypted vault. Tests answer in the user's place.
#include "platform/base/Secret.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace transferChoosers {

// The file chosen, or an empty text when the user cancels.
QString chooseImportFile(QWidget* parent);
QString chooseExportFile(QWidget* parent);
// The password typed for the vault file `fileName`, or nothing when the user cancels.
std::optional<platform::SecretText> askVaultPassword(QWidget* parent, const QString& fileName);

struct Answers {
  std::function<QString()> importFile, exportFile;
  std::function<std::optional<platform::SecretText>()> vaultPassword;
};
// Empty functions give back the real choosers.
void setAnswersForTests(Answers answers);

}  // namespace transferChoosers
