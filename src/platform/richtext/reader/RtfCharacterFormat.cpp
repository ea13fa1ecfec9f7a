#include "RtfCharacterFormat.h"

#include <algorithm>

namespace platform::rtf {

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

}  // namespace platform::rtf
