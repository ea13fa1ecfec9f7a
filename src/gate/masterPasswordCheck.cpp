#include "masterPasswordCheck.h"

#include "platform/base/CodePage.h"
#include "platform/base/Secret.h"
#include "vault/StorableText.h"

namespace cp = platform::codepage;

namespace masterPasswordCheck {

QString storageProblem(const QString& typed) {
  const std::u16string_view text = platform::viewOf(typed);
  // Told apart from the round trip's answer: the fix for the user is a different one.
  if (!cp::representable(text))
    return QStringLiteral(
        "Your password contains characters that can not be stored (only the characters of the Windows-1252 "
        "character set can be used).  Please try again.");
  if (!vault::storesAsMasterPassword(text))
    return QStringLiteral(
        "Your password contains a character that would break the line format of the password file, so it could "
        "not be read back.  Please try again.");
  return {};
}

std::optional<Refusal> newPasswordProblem(const QString& typed, const QString& retyped) {
  if (typed.size() < 4)
    return Refusal{QStringLiteral("You must enter a password that is at least 4 characters long"), true};
  if (retyped != typed) return Refusal{QStringLiteral("Your passwords did not match.  Please try again.")};
  if (QString problem = storageProblem(typed); !problem.isEmpty()) return Refusal{problem};
  return std::nullopt;
}

}  // namespace masterPasswordCheck
