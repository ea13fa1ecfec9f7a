#include "RtfTokenizer.h"

#include <algorithm>
#include <array>
#include <climits>

namespace platform::rtf {
namespace {

using Kind = Token::Kind;

// Longer names are read to their end but match no word.
constexpr std::size_t kMaxNameLength = 32;

constexpr auto kLetters = [] {
  std::array<bool, 256> letter{};
  for (std::size_t c = 'a'; c <= 'z'; ++c) letter[c] = letter[c - 'a' + 'A'] = true;
  return letter;
}();

bool isLetter(unsigned char c) { return kLetters[c]; }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

// Reads what follows a backslash. False when it makes no token: a backslash at the very end,
// or a broken \' escape, which drops what there is of it.
bool Tokenizer::escape(Token& token) {
  if (pos_ >= size_) return false;
  const unsigned char c = p_[pos_];
  if (c == '\'') {
    const int hi = pos_ + 1 < size_ ? hexValue(p_[pos_ + 1]) : -1;
    const int lo = pos_ + 2 < size_ ? hexValue(p_[pos_ + 2]) : -1;
    if (hi < 0 || lo < 0) {
      pos_ += 1 + (hi >= 0 ? 1 : 0);
      return false;
    }
    token.kind = Kind::EscapedByte;
    token.byte = static_cast<unsigned char>(hi * 16 + lo);
    pos_ += 3;
    return true;
  }
  if (isLetter(c)) {
    controlWord(token);
    return true;
  }
  // Escaped braces and backslashes are text bytes, and may be the trail byte of a character.
  token.kind = c == '\\' || c == '{' || c == '}' ? Kind::EscapedByte : Kind::ControlSymbol;
  token.byte = c;
  ++pos_;
  return true;
}

// A word, its parameter (digits saturating at INT_MAX, a minus sign only before a digit), and
// the space that may end it. \bin takes as many bytes after it as its parameter says.
void Tokenizer::controlWord(Token& token) {
  std::size_t end = pos_;
  while (end < size_ && isLetter(p_[end])) ++end;
  const std::string_view name = view(pos_, pos_ + std::min(end - pos_, kMaxNameLength));
  bool negative = false;
  if (end + 1 < size_ && p_[end] == '-' && isDigit(p_[end + 1])) {
    negative = true;
    ++end;
  }
  long long value = 0;
  token.hasParam = false;
  while (end < size_ && isDigit(p_[end])) {
    token.hasParam = true;
    if (value <= INT_MAX) value = value * 10 + (p_[end] - '0');
    ++end;
  }
  if (end < size_ && p_[end] == ' ') ++end;
  value = std::min<long long>(value, INT_MAX);
  token.param = static_cast<int>(negative ? -value : value);
  if (name.size() == 3 && name[0] == 'b' && name[1] == 'i' && name[2] == 'n') {
    const std::size_t length = token.hasParam && token.param > 0 ? static_cast<std::size_t>(token.param) : 0;
    const std::size_t take = std::min(length, size_ - end);
    token.kind = Kind::Binary;
    token.text = view(end, end + take);
    pos_ = end + take;
    return;
  }
  token.kind = Kind::ControlWord;
  token.text = name;
  pos_ = end;
}

}  // namespace platform::rtf
