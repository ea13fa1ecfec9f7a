// Protects the password generator's character rules (kinds, look-alikes, bounds, every chosen kind
// present, only what the vault stores) and the strength line's form.
#include "vault/PasswordGenerator.h"
#include "vault/StorableText.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using vault::PasswordRecipe;

std::u16string text(const platform::SecretText& s) { return std::u16string(s.view()); }

struct RecipeCase {
  const char* name;
  PasswordRecipe recipe;
};

const RecipeCase kRecipes[] = {
    {"all kinds, default length", {}},
    {"shortest, all four kinds", {4, true, true, true, true, false}},
    {"longest, all kinds, no look-alikes", {128, true, true, true, true, true}},
    {"digits only, no look-alikes", {12, false, false, true, false, true}},
    {"symbols only", {30, false, false, false, true, false}},
    {"letters without look-alikes", {40, true, true, false, false, true}},
};

TEST(PasswordGenerator, drawsOnlyChosenStorableCharactersWithEveryKindPresent) {
  for (const RecipeCase& c : kRecipes) {
    SCOPED_TRACE(c.name);
    std::set<char16_t> seen;
    std::u16string pool;
    for (int k = 0; k < vault::kCharacterKinds; ++k) pool += vault::characterKind(c.recipe, k);
    for (int draw = 0; draw < 300; ++draw) {
      auto made = vault::generatePassword(c.recipe);
      ASSERT_TRUE(made.ok()) << made.why();
      const std::u16string pw = text(*made);
      ASSERT_EQ(pw.size(), static_cast<std::size_t>(c.recipe.length));
      for (char16_t ch : pw) {
        ASSERT_NE(pool.find(ch), std::u16string::npos) << static_cast<int>(ch);
        if (c.recipe.avoidLookAlikes) {
          ASSERT_EQ(std::u16string_view(u"Il1O0").find(ch), std::u16string_view::npos);
        }
        seen.insert(ch);
      }
      for (int k = 0; k < vault::kCharacterKinds; ++k) {
        const std::u16string kind = vault::characterKind(c.recipe, k);
        if (!kind.empty()) {
          ASSERT_NE(pw.find_first_of(kind), std::u16string::npos) << "kind " << k;
        }
      }
      ASSERT_FALSE(vault::firstUnstorableField({u"user", pw, u"site"}).has_value());
    }
    // Every character of the pool is drawn sooner or later.
    EXPECT_EQ(seen.size(), std::set<char16_t>(pool.begin(), pool.end()).size());
  }
}

TEST(PasswordGenerator, refusesWhatItCannotMake) {
  const PasswordRecipe none{20, false, false, false, false, false};
  const PasswordRecipe tooShort{3}, tooLong{129};
  for (const PasswordRecipe& r : {none, tooShort, tooLong}) EXPECT_FALSE(vault::generatePassword(r).ok());
}

TEST(PasswordStrength, lineNamesZxcvbnsEstimate) {
  EXPECT_EQ(vault::strengthLine(u""), u"");
  const vault::Strength weak = vault::passwordStrength(u"password");
  EXPECT_EQ(weak.label, u"Very weak");
  const std::string bits = std::to_string(weak.bits);
  EXPECT_EQ(vault::strengthLine(u"password"),
            u"Strength: Very weak (" + std::u16string(bits.begin(), bits.end()) + u" bits)");
  const vault::Strength strong = vault::passwordStrength(u"q7#Vd!m2Zr9@xLp4&Kw8");
  EXPECT_GE(strong.bits, 60);
  EXPECT_GT(strong.bits, weak.bits);
}

}  // namespace
