#pragma once
// The character shift that scrambles every line of the vault: the top bit of each code-page byte
// is flipped, so the same call scrambles and unscrambles.
#include <string>

// Shifts a text of characters in place (through the code page; a character the code page lacks
// becomes "?" first) and returns it.
std::u16string& shiftText(std::u16string& text);

// Shifts code-page bytes in place and returns them.
std::string& shiftText(std::string& bytes);

// Flips the top bit of every byte of a range.
void shiftBytes(char* bytes, std::size_t count);
