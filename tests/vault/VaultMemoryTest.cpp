// Protects the start against vaults that don't fit: one over 1 GiB is refused unread, and memory
// running out at any step of loading ends the program with a sentence, the file untouched.
#include "VaultFixture.h"

#include "platform/base/CodePage.h"
#include "vault/SealedVault.h"

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

using namespace modGlobals;

// Every operator new of this test program comes here, so that a test can make large allocations
// fail anywhere; unlike an address-space limit this works under AddressSanitizer too.
namespace {
std::atomic<std::size_t> g_failFrom{0};  // allocations of this many bytes or more fail; 0: none
std::atomic<int> g_spared{0};            // how many of them succeed first
void* allocate(std::size_t size, bool orNull) {
  const std::size_t from = g_failFrom;
  void* p = from && size >= from && g_spared.fetch_sub(1) <= 0 ? nullptr : std::malloc(size ? size : 1);
  if (!p && !orNull) throw std::bad_alloc();
  return p;
}
}  // namespace
void* operator new(std::size_t n) { return allocate(n, false); }
void* operator new[](std::size_t n) { return allocate(n, false); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return allocate(n, true); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return allocate(n, true); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

class VaultMemory : public VaultTest {
 protected:
  // Opens the vault as the start does, the chosen allocations failing, and returns what it told.
  std::vector<std::u16string> told(std::size_t failFrom, int spared, const std::function<void()>& rest) {
    g_spared = spared;
    g_failFrom = failFrom;
    openVault();
    rest();
    g_failFrom = 0;
    return fatals;
  }
  std::vector<std::u16string> couldNotOpen(const std::string& why) const {
    return {u"Could not open " + platform::codepage::toUnicode(vaultFile() + ": " + why)};
  }
};

// Sparse files: no disk is spent. Up to 1 GiB the vault is read (a failing buffer shows it tried).
TEST_F(VaultMemory, aVaultOver1GiBIsRefusedUnreadAndUntouched) {
  const std::pair<off_t, std::string> cases[] = {
      {(1LL << 30) - 1, "Not enough memory to read the vault (1.0 GiB)."},
      {1LL << 30, "Not enough memory to read the vault (1.0 GiB)."},
      {(1LL << 30) + 1, "The file is 1.1 GiB; Keyloft opens vaults up to 1 GiB."},
      {3'000'000'000LL, "The file is 2.8 GiB; Keyloft opens vaults up to 1 GiB."},
  };
  write(flip("pw") + "\r\n");
  for (const auto& [size, why] : cases) {
    resetVaultForTests();
    fatals.clear();
    ASSERT_EQ(::truncate(vaultFile().c_str(), size), 0);
    struct stat before {
    }, after{};
    ::stat(vaultFile().c_str(), &before);
    EXPECT_EQ(told(512 << 20, 0, [] {}), couldNotOpen(why)) << size;
    ::stat(vaultFile().c_str(), &after);
    EXPECT_TRUE(after.st_size == size && after.st_ino == before.st_ino &&
                after.st_ctim.tv_sec == before.st_ctim.tv_sec && after.st_ctim.tv_nsec == before.st_ctim.tv_nsec)
        << size;
  }
  EXPECT_TRUE(events.empty());
}

// The first large allocation of each step fails in turn; `spared` lets the earlier ones (the
// reads) be. Each vault is 3 MB.
TEST_F(VaultMemory, runningOutOfMemoryWhileLoadingEndsWithASentence) {
  const std::vector<testing_support::Entry> entries(280'000, {"u", "p", "l"});
  const std::string plain = testing_support::vaultImage("pw", entries);
  masterPassword = u"pw";
  for (const auto& e : entries) list.add(e[0], e[1], e[2]);
  ASSERT_TRUE(encryptVault());
  const std::string sealed = bytes();
  const struct {
    const char* step;
    std::string file;
    int spared;
    std::function<void()> rest;
  } cases[] = {
      {"the first line", flip(std::string(plain.size(), 'p')), 1, [] {}},
      {"listing", plain, 2, [] { EXPECT_FALSE(loadVault()); }},
      {"decrypting", sealed, 1, [] { EXPECT_EQ(outcomeOf(checkMasterPassword(u"pw")), PasswordCheck::Ended); }},
      {"keeping entries under an empty first line", "\r\n" + plain.substr(4), 2, [] { EXPECT_FALSE(createVault()); }},
  };
  for (const auto& c : cases) {
    resetVaultForTests();
    list.clear();
    fatals.clear();
    statuses.clear();
    write(c.file);
    EXPECT_EQ(told(1 << 20, c.spared, c.rest), couldNotOpen("Not enough memory to read the vault (3.0 MiB)."))
        << c.step;
    EXPECT_TRUE(statuses.empty() && list.count() == 0 && bytes() == c.file) << c.step;
  }
}

// Decrypting is one of those steps: content that does not fit is a failure the caller words, not an
// exception through it.
TEST_F(VaultMemory, decryptedContentThatDoesNotFitIsAFailure) {
  auto sealing = vault::sealed::newSealing("pw", vault::sealed::costsForNewKey());
  ASSERT_TRUE(sealing);
  const std::string file = *vault::sealed::seal(std::string(2 << 20, 'x'), *sealing);
  g_spared = 0;
  g_failFrom = 1 << 20;
  auto opened = vault::sealed::open(file, *sealing);
  g_failFrom = 0;
  ASSERT_FALSE(opened);
  EXPECT_EQ(opened.why(), vault::sealed::kNoMemoryToOpen);
}
