#include "StorableText.h"

#include "platform/base/CodePage.h"
#include "shiftText.h"
#include "VaultFormat.h"

namespace cp = platform::codepage;

namespace vault {

bool storesAsMasterPassword(std::u16string_view password) {
  // Written and read back in buffers that wipe themselves: this is the master password.
  platform::SecretBytes file = shiftedBytes(password);
  file.append(kLineEnd);
  LineReader lines(file.view());
  std::string_view first;
  if (!lines.next(first)) return password.empty();
  return unshiftedText(first) == password;
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
