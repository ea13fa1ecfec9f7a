// Protects the character shift: its worked values and that it undoes itself for every code.
#include "platform/base/CodePage.h"
#include "vault/shiftText.h"

#include <gtest/gtest.h>

TEST(ShiftText, workedValues) {
  std::string s = "abc";
  EXPECT_EQ(shiftText(s), "\xE1\xE2\xE3");
  EXPECT_EQ(shiftText(s), "abc");
  std::string bars = "|||";
  EXPECT_EQ(shiftText(bars), "\xFC\xFC\xFC");
  std::string mixed("?\r\n\x8D\x8A\x80", 6);
  EXPECT_EQ(shiftText(mixed), std::string("\xBF\x8D\x8A\r\n\0", 6));
  std::string empty;
  EXPECT_EQ(shiftText(empty), "");
}

namespace {
std::u16string platform_char(int code) {
  return std::u16string(1, platform::codepage::toChar(static_cast<unsigned char>(code)));
}
}  // namespace

TEST(ShiftText, allCodesShiftTwiceToThemselvesThroughTheCodePage) {
  for (int c = 0; c < 256; ++c) {
    std::u16string text = platform_char(c);
    std::u16string once = text;
    shiftText(once);
    ASSERT_EQ(once.size(), 1u);
    EXPECT_NE(once, text) << c;
    std::u16string twice = once;
    EXPECT_EQ(shiftText(twice), text) << c;
  }
}

TEST(ShiftText, euroAndZeroSwap) {
  std::u16string euro = u"\u20AC";
  EXPECT_EQ(shiftText(euro), std::u16string(1, u'\0'));
  EXPECT_EQ(shiftText(euro), u"\u20AC");
}

TEST(ShiftText, characterOutsideTheCodePageComesBackAsQuestionMark) {
  std::u16string text = u"a\u0416b";
  std::u16string& result = shiftText(text);
  EXPECT_EQ(&result, &text);  // shifted in place, and returned
  EXPECT_EQ(text.size(), 3u);
  EXPECT_EQ(shiftText(text), u"a?b");
}
