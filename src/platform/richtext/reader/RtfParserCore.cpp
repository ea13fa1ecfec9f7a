#include "RtfParserCore.h"

namespace platform::rtf {

ParserCore::ParserCore()
    : codePages_(*this, tables_),
      unicode_(*this),
      fontTable_(tables_, codePages_),
      colorTable_(tables_),
      fields_(*this),
      bookmarks_(*this),
      pictures_(*this),
      paragraphs_(*this),
      characters_(*this) {}

void ParserCore::read(std::string_view bytes, Sink& sink) {
  output_.start(sink);
  stack_.assign(1, State{});
  Tokenizer tokens(bytes);
  readTokens(tokens);
  // A cut-off file ends here as if its groups were closed.
  codePages_.flushPending();
  unicode_.endFallback();
  phantomDepth_ = 0;
  while (stack_.size() > 1) popGroup();
  output_.flush();
}

// Anything but text ends a multi-byte character in progress, so its bytes are decoded before
// the token is read. Any token but a brace may be a fallback character after \u; a brace ends
// the fallback. Text and control words, nearly all of a file, are tested for first: a jump table
// over all kinds mispredicts far more often, as the two alternate.
void ParserCore::readTokens(Tokenizer& tokens) {
  using Kind = Token::Kind;
  Token t;
  while (tokens.next(t)) {
    if (t.kind == Kind::Text) {
      text(t.text);
    } else if (t.kind == Kind::ControlWord) {
      codePages_.flushPending();
      if (!unicode_.skipFallback()) controlWord(t.text, t.hasParam, t.param);
    } else if (t.kind == Kind::GroupOpen || t.kind == Kind::GroupClose) {
      codePages_.flushPending();
      unicode_.endFallback();
      if (t.kind == Kind::GroupOpen)
        pushGroup();
      else if (!popGroup())
        return;
    } else {
      otherToken(t);
    }
  }
}

void ParserCore::otherToken(const Token& t) {
  switch (t.kind) {
    case Token::Kind::Byte: byte(t.byte); return;
    // May be the trail byte of a character begun before it, so no flushing here.
    case Token::Kind::EscapedByte:
      if (!unicode_.skipFallback()) textByte(t.byte);
      return;
    case Token::Kind::ControlSymbol:
      codePages_.flushPending();
      if (!unicode_.skipFallback()) controlSymbol(t.byte);
      return;
    case Token::Kind::Binary:
      codePages_.flushPending();
      binary(t.text);
      return;
    default: return;
  }
}

// ---- text --------------------------------------------------------------------------------

void ParserCore::text(std::string_view bytes) {
  std::size_t i = unicode_.skipFallback(bytes.size());
  while (i < bytes.size()) {
    if (codePages_.idle() && bodyVisible()) {
      // Fonts whose code pages pair bytes, or move letters (Symbol), take the slow way.
      if (const int cp = codePage(); cp == kSymbolCodePage || CodePageDecoder::isMultiByte(cp)) {
        for (; i < bytes.size(); ++i) textByte(static_cast<unsigned char>(bytes[i]));
        return;
      }
      output_.appendAscii(bytes.substr(i), top());
      return;
    }
    textByte(static_cast<unsigned char>(bytes[i++]));
  }
}

void ParserCore::byte(unsigned char c) {
  if (unicode_.skipFallback()) return;
  if (c == '\t') {
    codePages_.flushPending();
    emitChar(u'\t');
  } else if (c >= 0x80) {
    textByte(c);
  }
  // Other control characters show nothing.
}

// A text byte (literal or \'hh) in the current code page.
void ParserCore::textByte(unsigned char b) {
  switch (top().dest) {
    case Destination::Picture: pictures_.hexDigit(b); return;
    case Destination::Skip:
    case Destination::Dropped: return;
    default: codePages_.decode(b, codePage()); return;
  }
}

int ParserCore::codePage() {
  if (top().dest == Destination::FontTable) return fontTable_.nameCodePage(codePages_.documentCodePage());
  return codePages_.fontCodePage(top().chr.font);
}

void ParserCore::emitChar(char16_t c) {
  State& s = top();
  switch (s.dest) {
    case Destination::Body:
      if (!s.hidden) output_.append(c, s);
      return;
    case Destination::FontTable: fontTable_.character(c); return;
    case Destination::ColorTable: colorTable_.character(c); return;
    case Destination::FieldInstruction: fields_.instructionCharacter(c); return;
    case Destination::Bookmark: bookmarks_.character(c); return;
    case Destination::Picture:
    case Destination::Skip:
    case Destination::Dropped: return;
  }
}

void ParserCore::binary(std::string_view data) {
  if (!unicode_.skipFallback() && top().dest == Destination::Picture) pictures_.binary(data);
  top().star = false;
}

void ParserCore::paragraphEnd(bool pageBreak) {
  if (bodyVisible()) output_.paragraphEnd(top().para, pageBreak);
}

// ---- control words -----------------------------------------------------------------------

void ParserCore::controlSymbol(unsigned char c) {
  if (c == '*')
    top().star = true;
  else
    characters_.symbol(c);
}

// Inside the font table, the colour table and a picture, their handlers see words first.
void ParserCore::controlWord(std::string_view name, bool hasParam, int param) {
  State& s = top();
  const bool star = s.star;
  s.star = false;
  output_.formatMayHaveChanged();
  if (s.dest == Destination::Skip) return;
  const WordInfo info = lookupWord(name);
  if (s.dest == Destination::Picture) {
    pictures_.word(info.word, param, star);
    return;
  }
  if (s.dest == Destination::FontTable && fontTable_.word(info.word, param)) return;
  if (s.dest == Destination::ColorTable && colorTable_.word(info.word, param)) return;
  dispatch(info, hasParam, param, star);
}

void ParserCore::dispatch(const WordInfo& info, bool hasParam, int param, bool star) {
  switch (info.family) {
    case Family::None:
      if (star) setDestination(Destination::Skip);
      return;
    case Family::SkippedDestination: setDestination(Destination::Skip); return;
    case Family::CodePage: codePages_.word(info.word, param); return;
    case Family::Unicode: unicode_.word(info.word, param); return;
    // \fcharset, \cpg and the colours mean nothing outside their tables, nor the picture's
    // words outside \pict; \shppict only wraps a \pict.
    case Family::FontTable:
      if (info.word == Word::FontTable) setDestination(Destination::FontTable);
      return;
    case Family::ColorTable:
      if (info.word != Word::ColorTable) return;
      setDestination(Destination::ColorTable);
      colorTable_.open();
      return;
    case Family::Picture:
      if (info.word != Word::Picture) return;
      setDestination(Destination::Picture);
      pictures_.open();
      return;
    case Family::Bookmark:
      setDestination(Destination::Bookmark);
      bookmarks_.open();
      return;
    case Family::Field: fields_.word(info.word); return;
    case Family::CharacterFormat: applyCharacterFormat(info.word, hasParam, param, top()); return;
    case Family::ParagraphFormat: paragraphs_.word(info.word, hasParam, param); return;
    case Family::Character: characters_.word(info); return;
  }
}

// ---- groups ------------------------------------------------------------------------------

void ParserCore::pushGroup() {
  if (static_cast<int>(stack_.size()) >= Parser::kMaxDepth) {
    ++phantomDepth_;
    return;
  }
  stack_.push_back(top());
  top().star = false;
  output_.formatMayHaveChanged();
}

// Returns false when the outermost group closed: the document has ended.
bool ParserCore::popGroup() {
  if (phantomDepth_ > 0) {
    --phantomDepth_;
    return true;
  }
  if (stack_.size() <= 1) return false;
  // A last paragraph without \par keeps the formats in effect where the document ends.
  if (stack_.size() == 2) {
    output_.flush();
    if (output_.paragraphOpen()) paragraphEnd(false);
  }
  const State closed = stack_.back();
  stack_.pop_back();
  output_.formatMayHaveChanged();
  if (closed.dest != top().dest) endDestination(closed);
  return stack_.size() > 1;
}

// The group that closed was the last of its destination.
void ParserCore::endDestination(const State& closed) {
  switch (closed.dest) {
    case Destination::Picture: pictures_.end(); return;
    case Destination::FieldInstruction: fields_.instructionEnd(closed); return;
    case Destination::Bookmark: bookmarks_.end(); return;
    case Destination::FontTable: fontTable_.end(); return;
    default: return;
  }
}

}  // namespace platform::rtf
