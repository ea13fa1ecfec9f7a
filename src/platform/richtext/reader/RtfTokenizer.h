#pragma once
// Splits the bytes of a rich-text file into tokens: group braces, control words with their
// parameters, control symbols, \bin data, escaped bytes and stretches of plain text. It knows
// nothing of what words mean or where text goes; the parser does.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform::rtf {

struct Token {
  enum class Kind : std::uint8_t {
    GroupOpen,
    GroupClose,
    Text,           // a stretch of printable ASCII (text), the bulk of most files
    Byte,           // any other byte in the text (byte): above 127, a tab or a control character
    EscapedByte,    // \'hh, or \\, \{ and \} standing for themselves (byte): a text byte like any other
    ControlSymbol,  // a backslash and one other character (byte)
    ControlWord,    // a name of at most 32 letters (text) and the number after it (hasParam, param)
    Binary,         // \binN: the N bytes after it (text)
  };
  // Only the fields of the token's kind are set.
  Kind kind{};
  unsigned char byte = 0;
  bool hasParam = false;
  int param = 0;
  std::string_view text;
};

// The value of a hex digit; -1 for any other byte.
inline int hexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Tokenizer final {
 public:
  explicit Tokenizer(std::string_view bytes)
      : p_(reinterpret_cast<const unsigned char*>(bytes.data())), size_(bytes.size()) {}

  // Reads the next token into token, setting the fields its kind uses; false once the bytes are
  // used up. Line breaks in the file are not tokens: writers put them in only to keep lines short.
  // Inline, as it runs once a token; filling the caller's token in place, rather than returning
  // one, spares a copy of the whole token each time.
  bool next(Token& token) {
    while (pos_ < size_) {
      const unsigned char c = p_[pos_];
      if (kPlainText[c]) {
        std::size_t end = pos_ + 1;
        while (end < size_ && kPlainText[p_[end]]) ++end;
        token.kind = Token::Kind::Text;
        token.text = view(pos_, end);
        pos_ = end;
        return true;
      }
      ++pos_;
      switch (c) {
        case '{': token.kind = Token::Kind::GroupOpen; return true;
        case '}': token.kind = Token::Kind::GroupClose; return true;
        case '\\':
          if (escape(token)) return true;
          continue;
        case '\r':
        case '\n': continue;
        default:
          token.kind = Token::Kind::Byte;
          token.byte = c;
          return true;
      }
    }
    return false;
  }

 private:
  // Printable ASCII but the backslash and the braces.
  static constexpr auto kPlainText = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x80; ++c) plain[static_cast<std::size_t>(c)] = c != '\\' && c != '{' && c != '}';
    return plain;
  }();

  bool escape(Token& token);
  void controlWord(Token& token);
  std::string_view view(std::size_t from, std::size_t to) const {
    return {reinterpret_cast<const char*>(p_ + from), to - from};
  }

  const unsigned char* p_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace platform::rtf
