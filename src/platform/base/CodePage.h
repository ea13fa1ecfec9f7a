#pragma once
// The ANSI code page (Windows-1252), exact in both directions for every byte.
#include <string>
#include <string_view>

namespace platform::codepage {

// The character a byte stands for. The five bytes Windows-1252 leaves unassigned
// map to the C1 controls of the same value so that every byte round-trips.
char16_t toChar(unsigned char byte);

// The byte of a character, or false when the code page lacks it.
bool toByte(char16_t ch, unsigned char& byte);

// Whole texts. A character the code page lacks becomes "?".
std::u16string toUnicode(std::string_view bytes);
std::string fromUnicode(std::u16string_view text);

// True when every character of the text has a byte in the code page.
bool representable(std::u16string_view text);

}  // namespace platform::codepage
