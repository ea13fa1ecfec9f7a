#pragma once
// The small handlers of the parser: the words that format characters, the colour table, Unicode
// characters and their fallbacks, words that stand for a character, and bookmarks.
#include "RtfControlWords.h"
#include "RtfGroupState.h"

#include <QString>

#include <algorithm>
#include <cstddef>

namespace platform::rtf {

class ParserCore;
struct DocumentTables;

// The words that format characters: font, size, colours, bold and the rest, hidden text (\v),
// and \plain, which resets them all.
// Changes the group's character format as the word says; a word without a parameter turns its
// format on, one with 0 turns it off.
void applyCharacterFormat(Word word, bool hasParam, int param, State& state);

// The colour table: entries of \redN, \greenN and \blueN ending in semicolons. An entry with no
// colour given is the automatic colour.
class ColorTableHandler final {
 public:
  explicit ColorTableHandler(DocumentTables& tables) : tables_(tables) {}

  // \colortbl: a second table replaces the first.
  void open();

  // \red, \green and \blue; false for any other word.
  bool word(Word word, int param);

  // The semicolon ends an entry; other characters mean nothing here.
  void character(char16_t c);

 private:
  DocumentTables& tables_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool given_ = false;
};

// Unicode characters: \uN gives one, and the \ucN characters after it (1 unless a group says
// otherwise) are the fallback for readers without Unicode, passed over here. A fallback character
// is a text byte, an escaped byte, a control symbol or a whole control word, \bin with its data
// included; a group boundary ends the fallback. \upr holds a text twice, the Unicode twin in \ud.
class UnicodeHandler final {
 public:
  explicit UnicodeHandler(ParserCore& core) : core_(core) {}

  // \u, \uc, \upr and \ud.
  void word(Word word, int param);

  // True, using it up, while a fallback character remains to be passed over.
  bool skipFallback() {
    if (skip_ == 0) return false;
    --skip_;
    return true;
  }

  // Passes over the fallback characters at the start of a stretch of text; returns how many.
  std::size_t skipFallback(std::size_t available) {
    const std::size_t skipped = std::min(static_cast<std::size_t>(skip_), available);
    skip_ -= static_cast<int>(skipped);
    return skipped;
  }

  void endFallback() { skip_ = 0; }

 private:
  ParserCore& core_;
  int skip_ = 0;  // fallback characters still to pass over
};

// Words and symbols that stand for a character (\emdash, \~ and the like), a paragraph end
// (a backslash before a line break), or the number of a footnote (\chftn).
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

// Bookmarks: {\*\bkmkstart name} marks the place where it stands, for links to lead to. Where a
// bookmark ends (\bkmkend) does not matter to a link, so that group is skipped.
class BookmarkHandler final {
 public:
  explicit BookmarkHandler(ParserCore& core) : core_(core) {}

  void open() { name_.clear(); }
  void character(char16_t c);
  // The name is whole: the place is marked, if it is in the body.
  void end();

 private:
  ParserCore& core_;
  QString name_;
};

}  // namespace platform::rtf
