#pragma once
// The character shift that scrambles every line of the vault: the top bit of each code-page byte
// is flipped, so the same call scrambles and unscrambles.
#include "platform/base/Secret.h"

#include <string>
#include <string_view>

// Shifts a text of characters in place (through the code page; a character the code page lacks
// becomes "?" first) and returns it.
std::u16string& shiftText(std::u16string& text);

// Shifts code-page bytes in place and returns them.
std::string& shiftText(std::string& bytes);

// Flips the top bit of every byte of a range.
void shiftBytes(char* bytes, std::size_t count);

// A secret's code-page bytes, plain or shifted, and a shifted line read back as a secret text:
// conversions that leave no unwiped copy behind.
platform::SecretBytes codePageBytes(std::u16string_view text);
platform::SecretBytes shiftedBytes(std::u16string_view text);
platform::SecretText unshiftedText(std::string_view shifted);
