// Feeds arbitrary bytes to the skin file reader: each input ends in skin values or a fault.
// Run: build/fuzz/fuzz/fuzz_skinfile fuzz/corpus/skinfile
#include "skin/SkinFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const platform::Result<SkinValues> values = parseSkinFile(
      QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  if (values) (void)values->images.size();
  return 0;
}
