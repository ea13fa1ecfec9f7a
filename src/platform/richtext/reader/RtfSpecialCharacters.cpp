#include "RtfSpecialCharacters.h"

#include "RtfParserCore.h"

#include <QString>

namespace platform::rtf {

void SpecialCharacterHandler::word(const WordInfo& info) {
  switch (info.word) {
    case Word::Character: core_.emitChar(info.character); return;
    // The automatic number of a footnote, shown where the note is referenced.
    case Word::FootnoteMark:
      for (QChar digit : QString::number(++footnotes_)) core_.emitChar(digit.unicode());
      return;
    default: return;
  }
}

void SpecialCharacterHandler::symbol(unsigned char c) {
  switch (c) {
    case '~': core_.emitChar(u'\u00A0'); return;
    case '-': core_.emitChar(u'\u00AD'); return;
    case '_': core_.emitChar(u'\u2011'); return;
    case '\r':
    case '\n': core_.paragraphEnd(false); return;
    case '\t': core_.emitChar(u'\t'); return;
    default: return;  // \: (index subentry), \| and the like show nothing
  }
}

}  // namespace platform::rtf
