#pragma once
// Words and symbols that stand for a character (\emdash, \~ and the like), a paragraph end
// (a backslash before a line break), or the number of a footnote (\chftn).
#include "RtfControlWords.h"

namespace platform::rtf {

class ParserCore;

class SpecialCharacterHandler final {
 public:
  explicit SpecialCharacterHandler(ParserCore& core) : core_(core) {}

  void word(const WordInfo& info);
  // A control symbol other than \*, which the parser reads itself.
  void symbol(unsigned char c);

 private:
  ParserCore& core_;
  int footnotes_ = 0;
};

}  // namespace platform::rtf
