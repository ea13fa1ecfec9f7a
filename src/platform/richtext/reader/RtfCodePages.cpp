#include "RtfCodePages.h"

#include "platform/base/CodePage.h"

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
    case kUtf8CodePage: return "UTF-8";
    default: return "CP" + std::to_string(codePage);
  }
}

// The Symbol font: Greek letters on the Latin keys and mathematical signs above 0xA0.
constexpr std::u16string_view kSymbolLetters =
    u"\u0391\u0392\u03A7\u0394\u0395\u03A6\u0393\u0397\u0399\u03D1\u039A\u039B\u039C\u039D\u039F"
    u"\u03A0\u0398\u03A1\u03A3\u03A4\u03A5\u03C2\u03A9\u039E\u03A8\u0396";
constexpr std::u16string_view kSymbolHigh =
    u"\u20AC\u03D2\u2032\u2264\u2044\u221E\u0192\u2663\u2666\u2665\u2660\u2194\u2190\u2191\u2192\u2193"
    u"\u00B0\u00B1\u2033\u2265\u00D7\u221D\u2202\u2022\u00F7\u2260\u2261\u2248\u2026\u23D0\u23AF\u21B5"
    u"\u2135\u2111\u211C\u2118\u2297\u2295\u2205\u2229\u222A\u2283\u2287\u2284\u2282\u2286\u2208\u2209"
    u"\u2220\u2207\u00AE\u00A9\u2122\u220F\u221A\u22C5\u00AC\u2227\u2228\u21D4\u21D0\u21D1\u21D2\u21D3"
    u"\u25CA\u2329\u00AE\u00A9\u2122\u2211\u239B\u239C\u239D\u23A1\u23A2\u23A3\u23A7\u23A8\u23A9\u23AA"
    u"\uFFFD\u232A\u222B\u2320\u23AE\u2321\u239E\u239F\u23A0\u23A4\u23A5\u23A6\u23AB\u23AC\u23AD\uFFFD";

char16_t symbolChar(unsigned char b) {
  switch (b) {
    case '"': return 0x2200;
    case '$': return 0x2203;
    case '\'': return 0x220B;
    case '*': return 0x2217;
    case '-': return 0x2212;
    case '@': return 0x2245;
    case '\\': return 0x2234;
    case '^': return 0x22A5;
    case 'j': return 0x03D5;
    case 'v': return 0x03D6;
    case '~': return 0x223C;
    default: break;
  }
  if (b >= 'A' && b <= 'Z') return kSymbolLetters[b - 'A'];
  if (b >= 'a' && b <= 'z') return static_cast<char16_t>(kSymbolLetters[b - 'a'] + 0x20);
  if (b >= 0xA0) return kSymbolHigh[b - 0xA0];
  return b;
}

}  // namespace

int codePageOfCharset(int charset) {
  switch (charset) {
    case 0: return 1252;
    case 2: return kSymbolCodePage;
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
    default: return 0;  // 1 (default) and the rest follow the document
  }
}

// What iconv_open returns when it has no converter.
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr): iconv's own value

struct CodePageDecoder::Converter {
  iconv_t handle = kNoConverter;
  std::array<char16_t, 256> table{};
  bool multiByte = false;

  ~Converter() {
    if (handle != kNoConverter) iconv_close(handle);
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

bool CodePageDecoder::isSupported(int codePage) {
  switch (codePage) {
    case kSymbolCodePage:
    case 437:
    case 850:
    case 874:
    case 932:
    case 936:
    case 949:
    case 950:
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
    case 1361:
    case 10000:
    case kUtf8CodePage: return true;
    default: return false;
  }
}

bool CodePageDecoder::isMultiByte(int codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361 ||
         codePage == kUtf8CodePage;
}

CodePageDecoder::Converter& CodePageDecoder::converter(int codePage) {
  auto& slot = converters_[codePage];
  if (slot) return *slot;
  slot = std::make_unique<Converter>();
  Converter& c = *slot;
  if (codePage == kSymbolCodePage) {
    for (int b = 0; b < 256; ++b) c.table[b] = symbolChar(static_cast<unsigned char>(b));
    return c;
  }
  if (codePage != kWindowsLatin1) c.handle = iconv_open("UTF-16LE", iconvName(codePage).c_str());
  c.multiByte = isMultiByte(codePage) && c.handle != kNoConverter;
  for (int b = 0; b < 256; ++b) c.table[b] = codepage::toChar(static_cast<unsigned char>(b));
  // Without a converter (1252 itself, or a code page iconv lacks) the Windows Latin table stands in.
  if (c.handle == kNoConverter || c.multiByte) return c;
  for (int b = 0x80; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    std::u16string one;
    c.convert(std::string_view(&byte, 1), one);
    c.table[b] = one.size() == 1 ? one[0] : kReplacement;
  }
  return c;
}

char16_t CodePageDecoder::byteToChar(int codePage, unsigned char byte) {
  if ((byte < 0x80 && codePage != kSymbolCodePage) || codePage == kWindowsLatin1) return codepage::toChar(byte);
  return converter(codePage).table[byte];
}

void CodePageDecoder::decode(int codePage, std::string_view bytes, std::u16string& out) {
  Converter& c = converter(codePage);
  if (!c.multiByte) {
    for (char b : bytes) out.push_back(c.table[static_cast<unsigned char>(b)]);
    return;
  }
  c.convert(bytes, out);
}

}  // namespace platform::rtf
