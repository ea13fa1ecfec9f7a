#include "RtfUnicode.h"

#include "RtfParserCore.h"

namespace platform::rtf {

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

}  // namespace platform::rtf
