#pragma once
// Whether a new master password would come back from the vault exactly as it was typed.
#include <QString>

namespace masterPasswordCheck {

// Empty when the password survives being written as the vault's first line and read back;
// otherwise the message that tells the user what is wrong with it.
QString storageProblem(const QString& typed);

}  // namespace masterPasswordCheck
