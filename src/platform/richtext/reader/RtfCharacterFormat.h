#pragma once
// The words that format characters: font, size, colours, bold and the rest, hidden text (\v),
// and \plain, which resets them all.
#include "RtfControlWords.h"
#include "RtfGroupState.h"

namespace platform::rtf {

// Changes the group's character format as the word says; a word without a parameter turns its
// format on, one with 0 turns it off.
void applyCharacterFormat(Word word, bool hasParam, int param, State& state);

}  // namespace platform::rtf
