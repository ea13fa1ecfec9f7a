#pragma once
// The font table: entries of \fN, a charset (\fcharsetN) or code page (\cpgN), and the font's
// name up to a semicolon. Each entry becomes a font of the document's tables.
#include "RtfControlWords.h"

#include <QString>

namespace platform::rtf {

class CodePageState;
struct DocumentTables;

class FontTableHandler final {
 public:
  FontTableHandler(DocumentTables& tables, CodePageState& codePages) : tables_(tables), codePages_(codePages) {}

  // \f, \fcharset and \cpg inside the table; false for any other word.
  bool word(Word word, int param);

  // A character of the entry's name; the semicolon ends the entry.
  void character(char16_t c);

  // The table closed: an entry without its semicolon still counts.
  void end();

  // The code page the entry's name is written in: a font's name is in its own charset, except a
  // symbol font's, which is plain letters.
  int nameCodePage(int documentCodePage) const;

 private:
  int entryCodePage() const { return ownCodePage_ ? ownCodePage_ : charsetCodePage_; }
  void commit();

  DocumentTables& tables_;
  CodePageState& codePages_;
  int font_ = 0;
  int charsetCodePage_ = 0;  // from the entry's \fcharset
  int ownCodePage_ = 0;      // from its \cpg, which wins over the charset wherever it stands
  QString name_;
};

}  // namespace platform::rtf
