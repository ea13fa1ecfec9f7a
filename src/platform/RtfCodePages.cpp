#include "RtfCodePages.h"

#include "CodePage.h"

#include <array>
#include <cerrno>
#include <string>

#include <iconv.h>

namespace platform::rtf {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

std::string iconvName(int codePage) {
  switch (codePage) {
    case 10000: return "MACINTOSH";
    case 936: return "GBK";
    case 950: return "BIG5";
    case 1361: return "JOHAB";
    default: return "CP" + std::to_string(codePage);
  }
}

}  // namespace

int codePageOfCharset(int charset) {
  switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;  // 1 (default), 2 (symbol) and the rest follow the document
  }
}

struct CodePageDecoder::Converter {
  iconv_t handle = reinterpret_cast<iconv_t>(-1);
  std::array<char16_t, 256> table{};
  bool doubleByte = false;

  ~Converter() {
    if (handle != reinterpret_cast<iconv_t>(-1)) iconv_close(handle);
  }

  void convert(std::string_view bytes, std::u16string& out) {
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::array<char16_t, 512> buffer;
    while (inLeft > 0) {
      char* outPtr = reinterpret_cast<char*>(buffer.data());
      std::size_t outLeft = sizeof(buffer);
      const std::size_t rc = iconv(handle, &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer.data(), (sizeof(buffer) - outLeft) / sizeof(char16_t));
      if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      iconv(handle, nullptr, nullptr, nullptr, nullptr);
      // An invalid or cut-off sequence: one replacement for its first byte, then go on.
      out.push_back(kReplacement);
      ++in;
      --inLeft;
    }
    // Code pages that combine (1258) may still hold a character back.
    char* outPtr = reinterpret_cast<char*>(buffer.data());
    std::size_t outLeft = sizeof(buffer);
    iconv(handle, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer.data(), (sizeof(buffer) - outLeft) / sizeof(char16_t));
  }
};

CodePageDecoder::CodePageDecoder() = default;
CodePageDecoder::~CodePageDecoder() = default;

bool CodePageDecoder::isDoubleByte(int codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

CodePageDecoder::Converter& CodePageDecoder::converter(int codePage) {
  auto& slot = converters_[codePage];
  if (slot) return *slot;
  slot = std::make_unique<Converter>();
  Converter& c = *slot;
  if (codePage != kWindowsLatin1) c.handle = iconv_open("UTF-16LE", iconvName(codePage).c_str());
  c.doubleByte = isDoubleByte(codePage) && c.handle != reinterpret_cast<iconv_t>(-1);
  for (int b = 0; b < 256; ++b) c.table[b] = codepage::toChar(static_cast<unsigned char>(b));
  // Without a converter (1252 itself, or a code page iconv lacks) the Windows Latin table stands in.
  if (c.handle == reinterpret_cast<iconv_t>(-1) || c.doubleByte) return c;
  for (int b = 0x80; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    std::u16string one;
    c.convert(std::string_view(&byte, 1), one);
    c.table[b] = one.size() == 1 ? one[0] : kReplacement;
  }
  return c;
}

char16_t CodePageDecoder::byteToChar(int codePage, unsigned char byte) {
  if (byte < 0x80 || codePage == kWindowsLatin1) return codepage::toChar(byte);
  return converter(codePage).table[byte];
}

void CodePageDecoder::decode(int codePage, std::string_view bytes, std::u16string& out) {
  Converter& c = converter(codePage);
  if (!c.doubleByte) {
    for (char b : bytes) out.push_back(c.table[static_cast<unsigned char>(b)]);
    return;
  }
  c.convert(bytes, out);
}

}  // namespace platform::rtf
