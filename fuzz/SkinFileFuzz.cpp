// Feeds arbitrary bytes to the skin file reader: each input ends in skin values or a SkinError.
// Run: build/fuzz/fuzz/fuzz_skinfile fuzz/corpus/skinfile
#include "skin/Skin.h"
#include "skin/SkinFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const SkinValues values = parseSkinFile(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    (void)values.images.size();
  } catch (const SkinError&) {
  }
  return 0;
}
