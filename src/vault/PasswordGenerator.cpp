#include "PasswordGenerator.h"

#include "StorableText.h"

#include <sodium.h>
#include <zxcvbn.h>

#include <array>
#include <cmath>

namespace vault {
namespace {

constexpr std::u16string_view kUpper = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::u16string_view kLower = u"abcdefghijklmnopqrstuvwxyz";
constexpr std::u16string_view kDigits = u"0123456789";
// Printable ASCII punctuation without the double quote, which trips up shells and CSV, and
// without "|": three of them in a row are the vault's field separator.
constexpr std::u16string_view kSymbols = u"!#$%&'()*+,-./:;<=>?@[\\]^_`{}~";
constexpr std::u16string_view kLookAlikes = u"Il1O0";

// A character the vault keeps in a password wherever it stands, also three in a row or last.
bool storableInPassword(char16_t c) { return !firstUnstorableField({u"u", std::u16string(3, c), u"l"}).has_value(); }

void appendUtf8(platform::SecretBytes& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// zxcvbn reads UTF-8; the copy is wiped like the password itself. A lone surrogate becomes U+FFFD.
platform::SecretBytes utf8Of(std::u16string_view text) {
  platform::SecretBytes out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    appendUtf8(out, c);
  }
  return out;
}

}  // namespace

std::u16string characterKind(const PasswordRecipe& recipe, int kind) {
  const std::array<std::pair<bool, std::u16string_view>, kCharacterKinds> kinds = {
      {{recipe.upper, kUpper}, {recipe.lower, kLower}, {recipe.digits, kDigits}, {recipe.symbols, kSymbols}}};
  if (kind < 0 || kind >= kCharacterKinds || !kinds[static_cast<std::size_t>(kind)].first) return {};
  std::u16string chars;
  for (char16_t c : kinds[static_cast<std::size_t>(kind)].second) {
    if (recipe.avoidLookAlikes && kLookAlikes.find(c) != std::u16string_view::npos) continue;
    if (storableInPassword(c)) chars.push_back(c);
  }
  return chars;
}

platform::Result<platform::SecretText> generatePassword(const PasswordRecipe& recipe) {
  if (recipe.length < PasswordRecipe::kMinLength || recipe.length > PasswordRecipe::kMaxLength)
    return platform::Failure{"A password is 4 to 128 characters long"};
  std::array<std::u16string, kCharacterKinds> kinds;
  std::u16string all;
  for (int k = 0; k < kCharacterKinds; ++k) {
    kinds[static_cast<std::size_t>(k)] = characterKind(recipe, k);
    all += kinds[static_cast<std::size_t>(k)];
  }
  if (all.empty()) return platform::Failure{"Choose at least one kind of character"};
  if (sodium_init() < 0) return platform::Failure{"The random number source could not start"};

  // randombytes_uniform draws without modulo bias.
  auto pick = [](std::u16string_view from) {
    return from[randombytes_uniform(static_cast<std::uint32_t>(from.size()))];
  };
  platform::SecretText password;
  password.reserve(static_cast<std::size_t>(recipe.length));
  for (const std::u16string& kind : kinds)
    if (!kind.empty()) password.push_back(pick(kind));
  while (password.size() < static_cast<std::size_t>(recipe.length)) password.push_back(pick(all));
  // The kinds' first characters stood at the front: a Fisher-Yates shuffle puts them anywhere.
  for (std::size_t i = password.size() - 1; i > 0; --i) {
    const std::size_t j = randombytes_uniform(static_cast<std::uint32_t>(i + 1));
    std::swap(password[i], password[j]);
  }
  return password;
}

Strength passwordStrength(std::u16string_view password) {
  if (password.empty()) return {0, u"Very weak"};
  const platform::SecretBytes utf8 = utf8Of(password);
  const double bits = ZxcvbnMatch(utf8.data(), nullptr, nullptr);
  Strength s;
  s.bits = bits > 0 ? static_cast<int>(std::lround(bits)) : 0;
  const int b = s.bits;
  s.label = b < 28 ? u"Very weak" : b < 36 ? u"Weak" : b < 60 ? u"Fair" : b < 128 ? u"Strong" : u"Very strong";
  return s;
}

std::u16string strengthLine(std::u16string_view password) {
  if (password.empty()) return {};
  const Strength s = passwordStrength(password);
  std::u16string line = u"Strength: " + s.label + u" (";
  for (char c : std::to_string(s.bits)) line.push_back(static_cast<char16_t>(c));
  return line + u" bits)";
}

}  // namespace vault
