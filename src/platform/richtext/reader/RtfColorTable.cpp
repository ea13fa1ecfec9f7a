#include "RtfColorTable.h"

#include "RtfParser.h"

#include <algorithm>

namespace platform::rtf {

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

}  // namespace platform::rtf
