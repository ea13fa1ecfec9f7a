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
