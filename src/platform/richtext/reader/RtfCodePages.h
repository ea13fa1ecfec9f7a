#pragma once
// Windows code pages of rich-text files: which one a font's charset means, and decoding bytes in it.
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace platform::rtf {

inline constexpr int kWindowsLatin1 = 1252;
inline constexpr int kSymbolCodePage = 42;  // the Symbol font's own layout, as Windows numbers it
inline constexpr int kUtf8CodePage = 65001;

// The code page a font's \fcharset stands for; 0 when the charset names none (then the
// document's own code page applies).
int codePageOfCharset(int charset);

// Decodes bytes of any number of code pages, keeping one converter per code page it met.
// Single-byte code pages go through a 256-entry table; the double-byte East Asian ones and
// UTF-8 through iconv, so the bytes of one character become one character.
class CodePageDecoder final {
 public:
  CodePageDecoder();
  ~CodePageDecoder();
  CodePageDecoder(const CodePageDecoder&) = delete;
  CodePageDecoder& operator=(const CodePageDecoder&) = delete;

  // True for the code pages rich-text files use that this decoder knows; others read as 1252.
  static bool isSupported(int codePage);

  // True for code pages whose characters may take more than one byte.
  static bool isMultiByte(int codePage);

  // The character of one byte in a single-byte code page.
  char16_t byteToChar(int codePage, unsigned char byte);

  // Appends the characters of bytes in the code page; a byte that makes no character
  // becomes U+FFFD, so nothing is lost silently and nothing stops the reading.
  void decode(int codePage, std::string_view bytes, std::u16string& out);

 private:
  struct Converter;
  Converter& converter(int codePage);
  std::map<int, std::unique_ptr<Converter>> converters_;
};

}  // namespace platform::rtf
