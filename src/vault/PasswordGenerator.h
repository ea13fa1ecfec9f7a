#pragma once
// New passwords drawn at random (libsodium) from the kinds of characters the user chose, and how
// strong a password is, as zxcvbn estimates it.
#include "platform/base/Result.h"
#include "platform/base/Secret.h"

#include <string>
#include <string_view>

namespace vault {

struct PasswordRecipe {
  static constexpr int kMinLength = 4;
  static constexpr int kMaxLength = 128;

  int length = 20;
  bool upper = true;
  bool lower = true;
  bool digits = true;
  bool symbols = true;
  bool avoidLookAlikes = false;

  bool operator==(const PasswordRecipe&) const = default;
};

// The characters the recipe draws from, kind by kind (empty for a kind not chosen). Only
// characters the vault stores in a password, each kind without the look-alikes when asked.
std::u16string characterKind(const PasswordRecipe& recipe, int kind);
inline constexpr int kCharacterKinds = 4;  // upper, lower, digits, symbols

// A password of the recipe's length with at least one character of every chosen kind; a failure
// when no kind is chosen, the length is out of bounds or the random source cannot start.
platform::Result<platform::SecretText> generatePassword(const PasswordRecipe& recipe);

// zxcvbn's estimate in bits, and the word for it: "Very weak" under 28 bits, "Weak" under 36,
// "Fair" under 60, "Strong" under 128, "Very strong" from there.
struct Strength {
  int bits = 0;
  std::u16string label;
};
Strength passwordStrength(std::u16string_view password);
// "Strength: <label> (<n> bits)", or nothing for an empty password.
std::u16string strengthLine(std::u16string_view password);

}  // namespace vault
