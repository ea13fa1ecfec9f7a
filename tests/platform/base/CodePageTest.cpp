// Protects the code page: every byte round-trips, and characters it lacks become "?".
#include "platform/base/CodePage.h"

#include <gtest/gtest.h>

namespace cp = platform::codepage;

TEST(CodePage, everyByteRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    unsigned char back = 0;
    ASSERT_TRUE(cp::toByte(cp::toChar(static_cast<unsigned char>(b)), back)) << b;
    EXPECT_EQ(back, b);
  }
}

TEST(CodePage, knownCharacters) {
  EXPECT_EQ(cp::toChar(0x80), u'\u20AC');  // euro sign
  EXPECT_EQ(cp::toChar(0x9F), u'\u0178');
  EXPECT_EQ(cp::toChar(0xE9), u'\u00E9');
  // The five unassigned bytes stand for the C1 controls of the same value.
  for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(cp::toChar(b), char16_t(b));
}

TEST(CodePage, charactersOutsideBecomeQuestionMarks) {
  EXPECT_EQ(cp::fromUnicode(u"a\u0416b\u20AC"), std::string("a?b\x80"));
  // C1 controls that Windows-1252 assigns to other characters are not in it.
  EXPECT_EQ(cp::fromUnicode(u"\u0080\u0099"), "??");
  EXPECT_TRUE(cp::representable(u"Caf\u00E9 \u0152uvre \u2122"));
  EXPECT_FALSE(cp::representable(u"\u0416"));
  EXPECT_FALSE(cp::representable(u"\U0001F600"));  // both halves of a surrogate pair
}
