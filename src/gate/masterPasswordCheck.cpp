#include "masterPasswordCheck.h"

#include "platform/base/CodePage.h"
#include "vault/shiftText.h"
#include "vault/VaultFormat.h"

namespace cp = platform::codepage;

namespace masterPasswordCheck {
namespace {

// Writes the password line as the vault writes it and reads it back as the vault reads it.
std::u16string roundTrip(const std::u16string& typed) {
  std::u16string shifted = typed;
  std::string file = cp::fromUnicode(shiftText(shifted));
  file.append(vault::kLineEnd);
  vault::LineReader lines(file);
  std::string_view first;
  if (!lines.next(first)) return {};
  std::u16string back = cp::toUnicode(first);
  return shiftText(back);
}

}  // namespace

QString storageProblem(const QString& typed) {
  const std::u16string text = typed.toStdU16String();
  // Told apart from the round trip's answer: the fix for the user is a different one.
  if (!cp::representable(text))
    return QStringLiteral(
        "Your password contains characters that can not be stored (only the characters of the Windows-1252 "
        "character set can be used).  Please try again.");
  if (roundTrip(text) != text)
    return QStringLiteral(
        "Your password contains a character that would break the line format of the password file, so it could "
        "not be read back.  Please try again.");
  return {};
}

}  // namespace masterPasswordCheck
