#pragma once
// Paragraphs and tables: the words that format a paragraph (\pard resets them), the ones that
// end a paragraph, a cell or a row, and a row's cell edges (\trowd, \cellxN).
#include "RtfControlWords.h"

#include <vector>

namespace platform::rtf {

class ParserCore;

class ParagraphHandler final {
 public:
  explicit ParagraphHandler(ParserCore& core) : core_(core) {}

  void word(Word word, bool hasParam, int param);

 private:
  bool formatWord(Word word, bool hasParam, int param);
  void tableWord(Word word, int param);

  ParserCore& core_;
  std::vector<int> cellEdges_;
};

}  // namespace platform::rtf
