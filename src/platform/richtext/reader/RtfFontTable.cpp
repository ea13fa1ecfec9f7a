#include "RtfFontTable.h"

#include "RtfCodePageState.h"
#include "RtfParser.h"

namespace platform::rtf {

bool FontTableHandler::word(Word word, int param) {
  switch (word) {
    case Word::Font:
      font_ = param;
      charsetCodePage_ = 0;
      ownCodePage_ = 0;
      name_.clear();
      return true;
    case Word::FontCharset: charsetCodePage_ = codePageOfCharset(param); return true;
    case Word::FontCodePage:
      if (CodePageDecoder::isSupported(param)) ownCodePage_ = param;
      return true;
    default: return false;
  }
}

void FontTableHandler::character(char16_t c) {
  if (c != u';') {
    name_ += QChar(c);
    return;
  }
  commit();
  name_.clear();
  codePages_.fontsChanged();
}

void FontTableHandler::end() {
  if (!name_.trimmed().isEmpty()) commit();
  name_.clear();
  codePages_.fontsChanged();
}

int FontTableHandler::nameCodePage(int documentCodePage) const {
  const int codePage = entryCodePage();
  return codePage && codePage != kSymbolCodePage ? codePage : documentCodePage;
}

void FontTableHandler::commit() {
  const QString name = name_.trimmed();
  int codePage = entryCodePage();
  // Charset 2 marks any symbol font; only the Symbol font's own layout is known here.
  if (codePage == kSymbolCodePage && name.compare(QStringLiteral("Symbol"), Qt::CaseInsensitive) != 0) codePage = 0;
  tables_.fonts[font_] = Font{name, codePage};
}

}  // namespace platform::rtf
