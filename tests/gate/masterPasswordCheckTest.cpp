// Protects the check that a new master password comes back from the vault file as typed.
#include "gate/masterPasswordCheck.h"
#include "platform/base/CodePage.h"

#include <gtest/gtest.h>

using masterPasswordCheck::storageProblem;

TEST(MasterPasswordCheck, onlyTheCharacterThatShiftsToALineEndBreaksTheLine) {
  std::vector<int> refused;
  for (int byte = 1; byte < 256; ++byte) {
    const QChar ch(platform::codepage::toChar(static_cast<unsigned char>(byte)));
    if (!storageProblem(QStringLiteral("ab") + ch + QStringLiteral("cd")).isEmpty()) refused.push_back(byte);
  }
  EXPECT_EQ(refused, std::vector<int>{0x8D});
}

TEST(MasterPasswordCheck, namesTheProblem) {
  EXPECT_TRUE(storageProblem(QStringLiteral("Caf\u00E9 \u20AC1")).isEmpty());
  EXPECT_TRUE(storageProblem(QStringLiteral("abc\u0416")).contains(QStringLiteral("Windows-1252")));
  EXPECT_TRUE(storageProblem(QStringLiteral("smile \U0001F600")).contains(QStringLiteral("Windows-1252")));
  EXPECT_TRUE(storageProblem(QStringLiteral("\u008Dabcd")).contains(QStringLiteral("line format")));
}

// The creation rules in their order: a short password is refused as short even when the typings
// differ, and only the first refusal keeps what was typed.
TEST(MasterPasswordCheck, newPasswordRulesApplyInOrder) {
  using masterPasswordCheck::newPasswordProblem;
  const struct {
    const char16_t *typed, *retyped;
    const char* says;  // part of the refusal, or nullptr when the password is taken
    bool tooShort;
  } cases[] = {
      {u"abc", u"abd", "at least 4 characters", true},     {u"", u"", "at least 4 characters", true},
      {u"abcd", u"abce", "did not match", false},          {u"\u008Dabcd", u"\u008Dabcd", "line format", false},
      {u"abc\u0416", u"abc\u0416", "Windows-1252", false}, {u"abcd", u"abcd", nullptr, false},
  };
  for (const auto& c : cases) {
    const auto refusal = newPasswordProblem(QString::fromUtf16(c.typed), QString::fromUtf16(c.retyped));
    SCOPED_TRACE(c.says ? c.says : "taken");
    ASSERT_EQ(refusal.has_value(), c.says != nullptr);
    if (!refusal) continue;
    EXPECT_TRUE(refusal->message.contains(QLatin1StringView(c.says)));
    EXPECT_EQ(refusal->tooShort, c.tooShort);
  }
}
