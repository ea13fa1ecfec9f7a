// The code page both ways: every byte string comes back from text unchanged, and a text comes back
// from bytes unchanged exactly when the code page can hold it.
// Run: build/fuzz/fuzz/fuzz_codepage fuzz/corpus/codepage
#include "platform/base/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace cp = platform::codepage;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string text = cp::toUnicode(bytes);
  if (text.size() != bytes.size() || !cp::representable(text) || cp::fromUnicode(text) != bytes) std::abort();

  std::u16string units(size / 2, u'\0');
  std::memcpy(units.data(), data, units.size() * 2);
  const bool representable = cp::representable(units);
  if ((cp::toUnicode(cp::fromUnicode(units)) == units) != representable) std::abort();
  for (char16_t ch : units) {
    unsigned char byte = 0;
    if (cp::toByte(ch, byte) != (cp::toChar(byte) == ch && cp::representable(std::u16string_view(&ch, 1))))
      std::abort();
  }
  return 0;
}
