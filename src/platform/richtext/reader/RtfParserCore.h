#pragma once
// The parser's core: reads the tokens of a file, keeps the stack of groups, sends each character
// where the current group's destination takes it, and hands each control word to the handler of
// its family. The handlers call back into it for the shared state.
#include "RtfCodePageState.h"
#include "RtfControlWords.h"
#include "RtfFields.h"
#include "RtfFontTable.h"
#include "RtfGroupState.h"
#include "RtfHandlers.h"
#include "RtfOutput.h"
#include "RtfParagraphs.h"
#include "RtfParser.h"
#include "RtfPictures.h"
#include "RtfTokenizer.h"

#include <string_view>
#include <vector>

namespace platform::rtf {

class ParserCore final {
 public:
  ParserCore();
  ParserCore(const ParserCore&) = delete;
  ParserCore& operator=(const ParserCore&) = delete;

  // Reads a file from its opening "{\rtf" to its end or the brace that closes it.
  void read(std::string_view bytes, Sink& sink);

  const DocumentTables& tables() const { return tables_; }

  // ---- for the handlers ----------------------------------------------------------------

  State& top() { return stack_.back(); }
  void setDestination(Destination dest) { top().dest = dest; }
  bool bodyVisible() { return top().dest == Destination::Body && !top().hidden; }
  DocumentTables& tables() { return tables_; }
  Output& output() { return output_; }

  // Sends a character where the current destination takes it.
  void emitChar(char16_t c);

  // Ends the paragraph, in the body only.
  void paragraphEnd(bool pageBreak);

 private:
  void readTokens(Tokenizer& tokens);
  void otherToken(const Token& t);
  void text(std::string_view bytes);
  void byte(unsigned char c);
  void textByte(unsigned char b);
  int codePage();
  void binary(std::string_view data);
  void controlSymbol(unsigned char c);
  void controlWord(std::string_view name, bool hasParam, int param);
  void dispatch(const WordInfo& info, bool hasParam, int param, bool star);
  void pushGroup();
  bool popGroup();
  void endDestination(const State& closed);

  DocumentTables tables_;
  Output output_;
  std::vector<State> stack_;
  int phantomDepth_ = 0;  // groups beyond Parser::kMaxDepth, which share the deepest state

  CodePageState codePages_;
  UnicodeHandler unicode_;
  FontTableHandler fontTable_;
  ColorTableHandler colorTable_;
  FieldHandler fields_;
  BookmarkHandler bookmarks_;
  PictureHandler pictures_;
  ParagraphHandler paragraphs_;
  SpecialCharacterHandler characters_;
};

}  // namespace platform::rtf
