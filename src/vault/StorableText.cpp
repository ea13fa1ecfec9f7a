#include "StorableText.h"

#include "platform/base/CodePage.h"
#include "platform/base/Secret.h"
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

std::optional<std::size_t> firstUnstorableField(const std::array<std::string_view, 3>& fields) {
  // Secret buffers: these are an entry's texts, its password among them.
  platform::SecretBytes raw;
  appendShiftedEntry(raw, fields[0], fields[1], fields[2]);

  // A byte that reads as a line end cuts the line there: the field holding it comes back short.
  std::array<std::string_view, 3> back;
  LineReader lines(raw.view());
  std::string_view line;
  platform::SecretBytes plain;
  if (lines.next(line) && !isSkippedLine(line)) {
    plain = platform::SecretBytes(line);
    shiftBytes(plain.data(), plain.size());
    back = splitEntry(plain.view());
  }
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (back[i] != fields[i]) return i;
  return std::nullopt;
}

std::optional<std::size_t> firstUnstorableField(const std::array<std::u16string, 3>& fields) {
  // A character the code page lacks fails its field; an earlier field may fail on the bytes.
  std::array<std::string, 3> bytes;
  std::optional<std::size_t> lacking;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    bytes[i] = cp::fromUnicode(fields[i]);
    if (!lacking && !cp::representable(fields[i])) lacking = i;
  }
  const auto onBytes = firstUnstorableField(std::array<std::string_view, 3>{bytes[0], bytes[1], bytes[2]});
  if (onBytes && (!lacking || *onBytes < *lacking)) return onBytes;
  return lacking;
}

}  // namespace vault
