#include "shiftText.h"

#include "platform/base/CodePage.h"

#include <cstdint>
#include <cstring>

namespace cp = platform::codepage;

std::u16string& shiftText(std::u16string& text) {
  const std::size_t length = text.size();
  for (std::size_t i = 0; i < length; ++i) {
    unsigned char code = '?';
    if (!cp::toByte(text[i], code)) code = '?';
    text[i] = cp::toChar(static_cast<unsigned char>(code < 128 ? code + 128 : code - 128));
  }
  return text;
}

void shiftBytes(char* bytes, std::size_t count) {
  // Eight bytes at a time: this runs over every byte of every load and save.
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    word ^= 0x8080808080808080ULL;
    std::memcpy(bytes + i, &word, 8);
  }
  for (; i < count; ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x80);
}

std::string& shiftText(std::string& bytes) {
  shiftBytes(bytes.data(), bytes.size());
  return bytes;
}

platform::SecretBytes codePageBytes(std::u16string_view text) {
  platform::SecretBytes bytes;
  bytes.resize(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char code = '?';
    if (!cp::toByte(text[i], code)) code = '?';
    bytes[i] = static_cast<char>(code);
  }
  return bytes;
}

platform::SecretBytes shiftedBytes(std::u16string_view text) {
  platform::SecretBytes bytes = codePageBytes(text);
  shiftBytes(bytes.data(), bytes.size());
  return bytes;
}

platform::SecretText unshiftedText(std::string_view shifted) {
  platform::SecretText text;
  text.resize(shifted.size());
  for (std::size_t i = 0; i < shifted.size(); ++i) text[i] = cp::toChar(static_cast<unsigned char>(shifted[i] ^ 0x80));
  return text;
}
