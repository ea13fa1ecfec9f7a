#include "StorableText.h"

#include "VaultFormat.h"
#include "platform/base/CodePage.h"
#include "shiftText.h"

namespace cp = platform::codepage;

namespace vault {

bool storesAsMasterPassword(const std::u16string& password) {
  std::u16string shifted = password;
  std::string file = cp::fromUnicode(shiftText(shifted));
  file.append(kLineEnd);
  LineReader lines(file);
  std::string_view first;
  if (!lines.next(first)) return password.empty();
  std::u16string back = cp::toUnicode(first);
  return shiftText(back) == password;
}

std::optional<std::size_t> firstUnstorableField(const std::array<std::u16string, 3>& fields) {
  std::array<std::string, 3> bytes;
  for (std::size_t i = 0; i < fields.size(); ++i) bytes[i] = cp::fromUnicode(fields[i]);
  std::string raw;
  appendShiftedEntry(raw, bytes[0], bytes[1], bytes[2]);

  // A byte that reads as a line end cuts the line there: the field holding it comes back short.
  std::array<std::u16string, 3> back;
  LineReader lines(raw);
  std::string_view line;
  if (lines.next(line) && !isSkippedLine(line)) {
    std::string plain(line);
    shiftText(plain);
    const auto pieces = splitEntry(plain);
    for (std::size_t i = 0; i < fields.size(); ++i) back[i] = cp::toUnicode(pieces[i]);
  }
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (back[i] != fields[i]) return i;
  return std::nullopt;
}

}  // namespace vault
