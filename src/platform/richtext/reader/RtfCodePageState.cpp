#include "RtfCodePageState.h"

#include "RtfParserCore.h"

namespace platform::rtf {

void CodePageState::word(Word word, int param) {
  switch (word) {
    case Word::Ansi: changeDocumentCodePage(kWindowsLatin1); return;
    case Word::Mac: changeDocumentCodePage(10000); return;
    case Word::Pc: changeDocumentCodePage(437); return;
    case Word::Pca: changeDocumentCodePage(850); return;
    // An unknown code page reads as Windows Latin; asking iconv for every odd number a damaged
    // file holds would only cost time.
    case Word::AnsiCodePage:
      changeDocumentCodePage(CodePageDecoder::isSupported(param) ? param : kWindowsLatin1);
      return;
    case Word::DefaultFont: changeDefaultFont(param); return;
    default: return;
  }
}

// The code page and the default font are set in the header, but nothing stops a file from
// changing them after text, as files pasted together do. Then the bytes of a character begun
// before the change are decoded in the old code page, and the code page cached for the current
// font, worked out from the old settings, is dropped.
void CodePageState::changeDocumentCodePage(int codePage) {
  flushPending();
  documentCodePage_ = codePage;
  fontsChanged();
}

void CodePageState::changeDefaultFont(int font) {
  flushPending();
  tables_.defaultFont = font;
  fontsChanged();
}

void CodePageState::cacheFontCodePage(int font) {
  const auto it = tables_.fonts.find(font >= 0 ? font : tables_.defaultFont);
  const int codePage = it == tables_.fonts.end() ? 0 : it->second.codePage;
  cachedFont_ = font;
  cachedCodePage_ = codePage ? codePage : documentCodePage_;
}

void CodePageState::decode(unsigned char byte, int codePage) {
  if (CodePageDecoder::isMultiByte(codePage)) {
    if (pendingCodePage_ != codePage) flushPending();
    pendingCodePage_ = codePage;
    pending_.push_back(static_cast<char>(byte));
    return;
  }
  core_.emitChar(decoder_.byteToChar(codePage, byte));
}

void CodePageState::decodePending() {
  decoded_.clear();
  decoder_.decode(pendingCodePage_, pending_, decoded_);
  pending_.clear();
  for (char16_t c : decoded_) core_.emitChar(c);
}

}  // namespace platform::rtf
