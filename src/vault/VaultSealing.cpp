// The encrypted vault's operations: the password check at the start, and the three rewrites the
// user asks for (encrypt, remove the encryption, change the master password).
#include "VaultFormat.h"
#include "VaultInternals.h"
#include "modGlobals.h"
#include "platform/base/CodePage.h"
#include "shiftText.h"

#include <sodium.h>

#include <chrono>
#include <future>
#include <utility>

namespace cp = platform::codepage;

namespace modGlobals {
namespace {

using namespace internal;
namespace sealed = vault::sealed;

// The master password as the key derivation reads it: its code-page bytes, wiped after use.
class PasswordBytes {
 public:
  explicit PasswordBytes(const std::u16string& password) : bytes_(cp::fromUnicode(password)) {}
  ~PasswordBytes() { sodium_memzero(bytes_.data(), bytes_.size()); }
  PasswordBytes(const PasswordBytes&) = delete;
  PasswordBytes& operator=(const PasswordBytes&) = delete;
  std::string_view view() const { return bytes_; }

 private:
  std::string bytes_;
};

sealed::KdfParams g_testParams;

// A key derivation takes a good part of a second: it runs on a worker thread while the windows
// keep painting, and the caller's window ignores clicks meanwhile.
template <class Work>
auto whileEventsRun(Work work) {
  auto done = std::async(std::launch::async, std::move(work));
  while (done.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready)
    if (g_host.doEvents) g_host.doEvents();
  return done.get();
}

// Writes the vault in its new form and says so; on failure everything stays as it was.
bool rewrite(const sealed::Sealing* sealing, const char16_t* done) {
  if (!writeList(sealing)) return false;
  status(done);
  return true;
}

}  // namespace

bool vaultSealed() { return g_sealed.sealing != nullptr; }

namespace {

// checkMasterPassword without the guard against running out of memory.
PasswordCheck checkTyped(const std::u16string& typed) {
  if (g_sealed.file.empty()) return typed == storedMasterPassword ? PasswordCheck::Right : PasswordCheck::Wrong;
  const PasswordBytes password(typed);
  auto sealing = whileEventsRun([&] { return sealed::unlock(g_sealed.file, password.view()); });
  if (!sealing) return PasswordCheck::Wrong;
  platform::SecretBytes plain;
  std::string why;
  if (!sealed::open(g_sealed.file, *sealing, plain, why)) {
    fatal(problem("Could not open", vaultPath(), why));
    return PasswordCheck::Ended;
  }
  // Line 1 inside is the master password, as in a plain vault; it is kept as it stands.
  vault::LineReader lines(plain);
  std::string_view first;
  lines.next(first);
  std::u16string line = cp::toUnicode(first);
  storedMasterPassword = shiftText(line);
  g_sealed.sealing = std::make_unique<sealed::Sealing>(std::move(*sealing));
  g_sealed.plain = std::move(plain);
  g_sealed.file = {};
  return PasswordCheck::Right;
}

}  // namespace

PasswordCheck checkMasterPassword(const std::u16string& typed) {
  PasswordCheck check = PasswordCheck::Ended;
  whileLoading([&] { check = checkTyped(typed); });
  return check;
}

bool encryptVault() {
  const PasswordBytes password(masterPassword);
  auto sealing = whileEventsRun([&] {
    const sealed::KdfParams params = g_testParams.opsLimit ? g_testParams : sealed::chooseParams();
    return std::make_unique<sealed::Sealing>(sealed::newSealing(password.view(), params));
  });
  if (!rewrite(sealing.get(), u"Vault encrypted.  Data saved.")) return false;
  g_sealed.sealing = std::move(sealing);
  return true;
}

bool removeEncryption() {
  if (!rewrite(nullptr, u"Encryption removed.  Data saved.")) return false;
  g_sealed.sealing.reset();
  return true;
}

bool changeMasterPassword(const std::u16string& newPassword) {
  std::unique_ptr<sealed::Sealing> sealing;
  if (g_sealed.sealing) {
    // A new salt and key with the parameters this vault was encrypted with.
    const PasswordBytes password(newPassword);
    const sealed::KdfParams params = g_sealed.sealing->params;
    sealing = whileEventsRun(
        [&] { return std::make_unique<sealed::Sealing>(sealed::newSealing(password.view(), params)); });
  }
  std::u16string old = std::exchange(masterPassword, newPassword);
  if (!rewrite(sealing ? sealing.get() : nullptr, u"Master password changed.  Data saved.")) {
    masterPassword = std::move(old);
    return false;
  }
  storedMasterPassword = masterPassword;
  if (sealing) g_sealed.sealing = std::move(sealing);
  return true;
}

void setKdfParamsForTests(std::uint64_t opsLimit, std::uint64_t memLimit) { g_testParams = {opsLimit, memLimit}; }

void wipeSecrets() {
  for (std::u16string* secret : {&masterPassword, &storedMasterPassword}) {
    sodium_memzero(secret->data(), secret->size() * sizeof(char16_t));
    secret->clear();
  }
  g_sealed = {};
}

}  // namespace modGlobals
