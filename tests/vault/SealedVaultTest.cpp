// Protects the sealed vault: it gives back exactly the bytes sealed, tells a wrong password apart
// from damage anywhere in the file, and refuses hostile headers before deriving any key.
#include "vault/SealedVault.h"

#include <gtest/gtest.h>
#include <sodium.h>

#include <random>

using namespace vault::sealed;

namespace {

constexpr KdfParams kFast{1, 8ULL << 20};
constexpr std::string_view kPassword = "correct horse";
constexpr std::size_t kVersionAt = 8, kReservedAt = 9, kOpsAt = 10, kMemAt = 14, kSaltAt = 22, kNonceAt = 38,
                      kKeyCheckAt = 62, kChecksumAt = 78, kHeaderSize = 94, kTagSize = 16;
const std::string kHeaderDamaged = "The encrypted vault's header is damaged";
const std::string kContentDamaged = "The encrypted vault's content is damaged";
const std::string kCutShort = "The encrypted vault is cut short";

const Sealing& sealing() {
  static const Sealing s = *newSealing(kPassword, kFast);
  return s;
}

std::string randomBytes(std::size_t size) {
  std::mt19937 random(7);
  std::string s(size, '\0');
  for (auto& c : s) c = static_cast<char>(random() & 0xFF);
  return s;
}

// A field set on purpose and the checksum made right again, as a crafted file would have it.
std::string crafted(std::string file, std::size_t at, std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  auto* bytes = reinterpret_cast<unsigned char*>(file.data());
  crypto_generichash(bytes + kChecksumAt, 16, bytes, kChecksumAt, nullptr, 0);
  return file;
}

// Opening as the program does: the header, then the password, then the content.
std::string openWithPassword(const std::string& file, platform::SecretBytes& plain) {
  if (auto problem = headerProblem(file)) return *problem;
  auto unlocked = unlock(file, kPassword);
  if (!unlocked) return unlocked.why();
  if (!*unlocked) return "wrong password";
  auto opened = open(file, **unlocked);
  if (!opened) return opened.why();
  plain = std::move(*opened);
  return "";
}

}  // namespace

TEST(SealedVault, roundTripGivesTheExactBytes) {
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte.push_back(static_cast<char>(b));
  const std::string cases[] = {"", "\xF0\xF7\r\n", everyByte, randomBytes(3 << 20)};
  for (const std::string& plain : cases) {
    const std::string file = *seal(plain, sealing());
    EXPECT_TRUE(isSealed(file));
    EXPECT_EQ(file.size(), kHeaderSize + plain.size() + kTagSize);
    platform::SecretBytes out("stale");
    EXPECT_EQ(openWithPassword(file, out), "") << plain.size();
    EXPECT_TRUE(out == plain) << plain.size();
  }
}

TEST(SealedVault, wrongPasswordUnlocksNothing) {
  const std::string file = *seal("entries", sealing());
  for (std::string_view wrong : {"", "correct horsE", "correct horse ", "correct hors", "\xE3orrect horse"})
    EXPECT_FALSE(*unlock(file, wrong)) << wrong;
}

TEST(SealedVault, oneFlippedByteIsDamageNeverAWrongPassword) {
  const std::string file = *seal(randomBytes(300), sealing());
  const std::size_t end = file.size();
  const struct {
    const char* region;
    std::size_t at;
    const std::string& told;
  } cases[] = {
      {"magic", 0, kHeaderDamaged},
      {"magic's NUL", 7, kHeaderDamaged},
      {"version", kVersionAt, kHeaderDamaged},
      {"reserved", kReservedAt, kHeaderDamaged},
      {"passes", kOpsAt, kHeaderDamaged},
      {"memory", kMemAt + 2, kHeaderDamaged},
      {"salt", kSaltAt + 15, kHeaderDamaged},
      {"nonce", kNonceAt, kHeaderDamaged},
      {"key check", kKeyCheckAt, kHeaderDamaged},
      {"checksum", kChecksumAt + 15, kHeaderDamaged},
      {"first ciphertext byte", kHeaderSize, kContentDamaged},
      {"middle ciphertext byte", kHeaderSize + 150, kContentDamaged},
      {"last ciphertext byte", end - kTagSize - 1, kContentDamaged},
      {"tag", end - 1, kContentDamaged},
  };
  for (const auto& c : cases) {
    std::string damaged = file;
    damaged[c.at] = static_cast<char>(damaged[c.at] ^ 0x01);
    platform::SecretBytes plain;
    EXPECT_EQ(openWithPassword(damaged, plain), c.told) << c.region;
    EXPECT_EQ(plain.view(), "") << c.region;
  }
}

TEST(SealedVault, cutShortIsToldWithoutThePassword) {
  const std::string file = *seal("a few entries", sealing());
  const struct {
    std::size_t length;
    const std::string& told;
  } cases[] = {
      {0, kCutShort},
      {7, kCutShort},
      {kHeaderSize, kCutShort},
      {kHeaderSize + kTagSize - 1, kCutShort},
      {kHeaderSize + kTagSize, kContentDamaged},  // a header and a tag, but not this content's
      {file.size() - 1, kContentDamaged},
  };
  for (const auto& c : cases) {
    platform::SecretBytes plain;
    EXPECT_EQ(openWithPassword(file.substr(0, c.length), plain), c.told) << c.length;
  }
}

TEST(SealedVault, headerProblemsAreSentencesForTheUser) {
  const std::string file = *seal("entries", sealing());
  const std::string limits = " to derive its key; at most 1024 MiB and 16 passes are allowed";
  const std::string settings = "The encrypted vault's key derivation settings are damaged";
  const struct {
    std::size_t at, width;
    std::uint64_t value;
    std::optional<std::string> told;
  } cases[] = {
      {kVersionAt, 1, 7, "The encrypted vault has format version 7, which this Keyloft cannot read"},
      {kVersionAt, 1, 0, "The encrypted vault has format version 0, which this Keyloft cannot read"},
      {kReservedAt, 1, 1, kHeaderDamaged},
      {kMemAt, 8, 2ULL << 30, "The encrypted vault asks for 2048 MiB and 1 pass" + limits},
      {kMemAt, 8, (1ULL << 30) + 1, "The encrypted vault asks for 1025 MiB and 1 pass" + limits},
      {kMemAt, 8, ~0ULL, "The encrypted vault asks for 17592186044416 MiB and 1 pass" + limits},
      {kOpsAt, 4, 17, "The encrypted vault asks for 8 MiB and 17 passes" + limits},
      {kOpsAt, 4, 0xFFFFFFFF, "The encrypted vault asks for 8 MiB and 4294967295 passes" + limits},
      {kOpsAt, 4, 0, settings},
      {kMemAt, 8, 4096, settings},
      {kMemAt, 8, 1ULL << 30, std::nullopt},  // the limits themselves are allowed
      {kOpsAt, 4, 16, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(headerProblem(crafted(file, c.at, c.value, c.width)), c.told) << c.value;
}

// The checksum has no key, so a forger can make it right again; the content is bound to every
// header byte all the same.
TEST(SealedVault, contentIsBoundToTheWholeHeader) {
  const std::string file = *seal("entries", sealing());
  const struct {
    std::size_t at, width;
    std::uint64_t value;
  } cases[] = {{kOpsAt, 4, 2}, {kMemAt, 8, 16ULL << 20}, {kSaltAt, 8, 0}, {kKeyCheckAt + 8, 8, 0}};
  for (const auto& c : cases) {
    const std::string forged = crafted(file, c.at, c.value, c.width);
    ASSERT_EQ(headerProblem(forged), std::nullopt) << c.at;
    auto opened = open(forged, sealing());
    ASSERT_FALSE(opened) << c.at;
    EXPECT_EQ(opened.why(), kContentDamaged) << c.at;
  }
}

TEST(SealedVault, everySealHasAFreshNonce) {
  const std::string first = *seal("same entries", sealing()), second = *seal("same entries", sealing());
  EXPECT_NE(first.substr(kNonceAt, 24), second.substr(kNonceAt, 24));
  EXPECT_NE(first.substr(kHeaderSize), second.substr(kHeaderSize));
  for (const std::string& file : {first, second}) {
    platform::SecretBytes plain;
    EXPECT_EQ(openWithPassword(file, plain), "");
    EXPECT_EQ(plain.view(), "same entries");
  }
}

TEST(SealedVault, isSealedOnlyByTheMagic) {
  using namespace std::string_literals;
  const struct {
    std::string bytes;
    bool sealed;
  } cases[] = {
      {"\xF0\xF7\r\n", false},  // a plain vault: the master password's bytes, top bits flipped
      {"", false},
      {"KLVAULT", false},
      {"KLVAULT\1"s, false},
      {"KLVAULT\0"s, true},
      {*seal("", sealing()), true},
  };
  for (const auto& c : cases) EXPECT_EQ(isSealed(c.bytes), c.sealed) << c.bytes;
}

TEST(SealedVault, chosenParamsAreWithinBoundsAndReadable) {
  Sealing chosen;
  chosen.params = chooseParams();
  EXPECT_GE(chosen.params.memLimit, kMinChosenMemLimit);
  EXPECT_GE(chosen.params.opsLimit, kMinChosenOpsLimit);
  EXPECT_LE(chosen.params.memLimit, kMaxMemLimit);
  EXPECT_LE(chosen.params.opsLimit, kMaxOpsLimit);
  EXPECT_EQ(headerProblem(*seal("", chosen)), std::nullopt);
}
