// Protects what the user types against silent change, by property over random texts: every entry
// the editor accepts, and every master password the dialog accepts, reads back exactly after a save
// and a fresh load; every one refused would not have (shown by storing it past the check).
#include "EntriesFixture.h"

#include "gate/masterPasswordCheck.h"
#include "platform/base/CodePage.h"

#include <cstdlib>
#include <random>

namespace entries_test {
namespace {

namespace cp = platform::codepage;

// Texts from all of Windows-1252, C0 and C1 controls, runs of "|", characters the code page
// lacks, and now and then a very long one.
QString randomText(std::mt19937& random) {
  auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
  QString text;
  const int length = pick(1, 8);
  while (text.size() < length) {
    switch (pick(0, 19)) {
      case 0: text += QChar(pick(0, 0x1F)); break;
      case 1: text += QChar(pick(0x80, 0x9F)); break;
      case 2: text += QString(pick(1, 4), QLatin1Char('|')); break;
      case 3: text += QChar(pick(0x100, 0xD7FF)); break;
      default: text += QChar(cp::toChar(static_cast<unsigned char>(pick(0, 255)))); break;
    }
  }
  // Now and then a very long text: the short one repeated.
  if (pick(0, 20) == 0) text = text.repeated(pick(2000, 70000) / static_cast<int>(text.size()) + 1);
  return text;
}

unsigned seed() {
  const char* env = std::getenv("KEYLOFT_PROPERTY_SEED");
  return env ? static_cast<unsigned>(std::strtoul(env, nullptr, 10)) : 20261208u;
}

using StorableText = EntriesFixture;

TEST_F(StorableText, everyAcceptedEntryReadsBackAndEveryRefusedOneWouldNot) {
  std::mt19937 random(seed());
  int accepted = 0, refused = 0;
  for (int i = 0; i < 300; ++i) {
    const std::array<QString, 3> typed = {randomText(random), randomText(random),
                                          random() % 4 ? randomText(random) : QString()};
    open({});
    form->cmdAdd_Click(0);
    typeAndSave(typed[0], typed[1], typed[2]);
    const bool wasRefused = !boxes.empty();
    boxes.clear();
    if (!wasRefused) {
      ++accepted;
      reopen();
      ASSERT_EQ(rows().count(), 1) << "case " << i;
      for (int f = 0; f < 3; ++f) EXPECT_EQ(cp::toQString(entry(1)[f]), typed[f]) << "case " << i << " field " << f;
      continue;
    }
    ++refused;
    EXPECT_NE(editor(), nullptr) << "case " << i;  // still open, texts kept
    EXPECT_EQ(fileBytes(), vaultImage(kMaster, {})) << "case " << i;
    // Stored past the check, it would come back changed.
    rows().add(cp::toBytes(typed[0]), cp::toBytes(typed[1]), cp::toBytes(typed[2]));
    ASSERT_TRUE(modGlobals::saveVault());
    reopen();
    const bool readsBack = rows().count() == 1 && cp::toQString(entry(1)[0]) == typed[0] &&
                           cp::toQString(entry(1)[1]) == typed[1] && cp::toQString(entry(1)[2]) == typed[2];
    EXPECT_FALSE(readsBack) << "case " << i << " was refused, yet it reads back";
  }
  // Both sides must be exercised for the property to mean anything.
  EXPECT_GT(accepted, 30);
  EXPECT_GT(refused, 30);
  std::printf("[ property ] entries: %d accepted, %d refused (seed %u)\n", accepted, refused, seed());
}

TEST_F(StorableText, everyAcceptedMasterPasswordReadsBackAndEveryRefusedOneWouldNot) {
  std::mt19937 random(seed() + 1);
  int accepted = 0, refused = 0;
  for (int i = 0; i < 300; ++i) {
    const QString typed = randomText(random);
    const bool isAccepted = masterPasswordCheck::storageProblem(typed).isEmpty();
    (isAccepted ? accepted : refused)++;
    // Created as the dialog does once it accepts; a refused one is created past the check.
    testing_support::writeBytes(vaultFile(), "\r\n");
    platform::forms::resetForTests();
    modGlobals::resetVaultForTests();
    form = platform::forms::load<Form1>();
    modGlobals::masterPassword = platform::secretOf(typed);
    const auto created = modGlobals::createVault();
    ASSERT_TRUE(created && *created == modGlobals::Created::Written);
    platform::forms::resetForTests();
    modGlobals::resetVaultForTests();
    form = platform::forms::load<Form1>();  // its load reads the first line afresh
    EXPECT_EQ(modGlobals::storedMasterPassword == typed.toStdU16String(), isAccepted) << "case " << i;
  }
  EXPECT_GT(accepted, 30);
  EXPECT_GT(refused, 30);
  std::printf("[ property ] master passwords: %d accepted, %d refused (seed %u)\n", accepted, refused, seed());
}

}  // namespace
}  // namespace entries_test
