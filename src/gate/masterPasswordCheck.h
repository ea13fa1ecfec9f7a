#pragma once
// The rules a new master password must meet, at the first start and when it is changed.
#include <QString>

#include <optional>

namespace masterPasswordCheck {

// Empty when the password survives being written as the vault's first line and read back;
// otherwise the message that tells the user what is wrong with it.
QString storageProblem(const QString& typed);

// A new master password refused, and the sentence that says why.
struct Refusal {
  QString message;
  bool tooShort = false;  // the first rule: the dialog at the first start keeps what was typed
};
// Checks a new master password typed twice: at least 4 characters, both typings equal, and
// storable, in that order; nothing when it may be taken.
std::optional<Refusal> newPasswordProblem(const QString& typed, const QString& retyped);

}  // namespace masterPasswordCheck
