#pragma once
// Which code page the text bytes of a file are in, and the decoding of them: the document's code
// page (\ansi, \mac, \pc, \pca, \ansicpg), unless the font in use (\f, else the default font \deff)
// has one of its own. The bytes of a multi-byte character wait here until the character is whole.
#include "RtfCodePages.h"
#include "RtfControlWords.h"

#include <climits>
#include <string>

namespace platform::rtf {

class ParserCore;
struct DocumentTables;

class CodePageState final {
 public:
  CodePageState(ParserCore& core, DocumentTables& tables) : core_(core), tables_(tables) {}

  // \ansi, \mac, \pc, \pca, \ansicpg and \deff.
  void word(Word word, int param);

  int documentCodePage() const { return documentCodePage_; }

  // The code page of text in a font (-1: the default font).
  int fontCodePage(int font) {
    if (font != cachedFont_) cacheFontCodePage(font);
    return cachedCodePage_;
  }

  // The font table changed: a font's code page may be another now.
  void fontsChanged() { cachedFont_ = kNoFont; }

  // Decodes a text byte in the code page and sends the character on, or keeps the byte while the
  // character it starts is not yet whole.
  void decode(unsigned char byte, int codePage);

  // True when no bytes wait for the rest of their character.
  bool idle() const { return pending_.empty(); }

  // Sends on the characters of the bytes waiting; anything but text ends a multi-byte character.
  void flushPending() {
    if (!pending_.empty()) decodePending();
  }

 private:
  static constexpr int kNoFont = INT_MIN;  // no parameter reaches it: they saturate at -INT_MAX

  void cacheFontCodePage(int font);
  void decodePending();
  void changeDocumentCodePage(int codePage);
  void changeDefaultFont(int font);

  ParserCore& core_;
  DocumentTables& tables_;
  CodePageDecoder decoder_;
  int documentCodePage_ = kWindowsLatin1;

  // The code page of the font last asked for, kept until a font or code page changes: text
  // bytes ask for it one by one.
  int cachedFont_ = kNoFont;
  int cachedCodePage_ = kWindowsLatin1;

  std::string pending_;
  int pendingCodePage_ = 0;
  std::u16string decoded_;
};

}  // namespace platform::rtf
