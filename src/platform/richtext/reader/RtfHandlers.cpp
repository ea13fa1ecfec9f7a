#include "RtfHandlers.h"

#include "RtfParserCore.h"

#include <QString>

#include <algorithm>

namespace platform::rtf {
namespace {

// Far longer than any name a writer makes; a damaged file's would only cost memory.
constexpr qsizetype kMaxName = 256;

}  // namespace

void applyCharacterFormat(Word word, bool hasParam, int param, State& state) {
  const bool on = !hasParam || param != 0;
  CharFormat& c = state.chr;
  switch (word) {
    case Word::Font: c.font = param; return;
    // The link belongs to the field result the text stands in, not to its format.
    case Word::Plain: {
      const int link = c.link;
      c = CharFormat{};
      c.link = link;
      state.hidden = false;
      return;
    }
    case Word::Bold: c.bold = on; return;
    case Word::Italic: c.italic = on; return;
    case Word::Underline: c.underline = on; return;
    case Word::UnderlineNone: c.underline = false; return;
    case Word::Strike: c.strike = on; return;
    case Word::Superscript: c.vertical = on ? 1 : 0; return;
    case Word::Subscript: c.vertical = on ? -1 : 0; return;
    case Word::NoSuperSub: c.vertical = 0; return;
    case Word::SmallCaps: c.smallCaps = on; return;
    case Word::AllCaps: c.allCaps = on; return;
    case Word::Hidden: state.hidden = on; return;
    case Word::FontSize: c.halfPoints = hasParam ? std::clamp(param, 1, 3276) : 24; return;
    case Word::Color: c.color = std::max(param, 0); return;
    case Word::Background: c.background = std::max(param, 0); return;
    default: return;
  }
}

void ColorTableHandler::open() { tables_.colors.clear(); }

bool ColorTableHandler::word(Word word, int param) {
  const int v = std::clamp(param, 0, 255);
  switch (word) {
    case Word::Red: red_ = v; break;
    case Word::Green: green_ = v; break;
    case Word::Blue: blue_ = v; break;
    default: return false;
  }
  given_ = true;
  return true;
}

void ColorTableHandler::character(char16_t c) {
  if (c != u';') return;
  tables_.colors.push_back(given_ ? 0xFF000000u | (red_ << 16) | (green_ << 8) | blue_ : 0u);
  red_ = green_ = blue_ = 0;
  given_ = false;
}

void UnicodeHandler::word(Word word, int param) {
  State& s = core_.top();
  switch (word) {
    case Word::UnicodeSkip: s.unicodeSkip = std::clamp(param, 0, 1000); return;
    case Word::Unicode: {
      // Negative numbers are how writers put characters above 32767 in a signed 16-bit word.
      const int v = param < 0 ? param + 65536 : param;
      const char16_t ch = v > 0 && v <= 0xFFFF ? char16_t(v) : char16_t(v == 0 ? 0 : 0xFFFD);
      if (ch) core_.emitChar(ch);
      skip_ = s.unicodeSkip;
      return;
    }
    case Word::Upr:
      s.uprOuter = s.dest;
      core_.setDestination(Destination::Dropped);
      return;
    case Word::Ud:
      if (s.dest == Destination::Dropped) core_.setDestination(s.uprOuter);
      return;
    default: return;
  }
}

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

void BookmarkHandler::character(char16_t c) {
  if (name_.size() < kMaxName) name_ += QChar(c);
}

void BookmarkHandler::end() {
  const QString name = name_.trimmed();
  if (core_.bodyVisible() && !name.isEmpty()) core_.output().bookmark(name);
  name_.clear();
}

}  // namespace platform::rtf
