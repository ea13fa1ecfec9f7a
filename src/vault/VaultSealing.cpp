// The encrypted vault's operations: the password check at the start, the three rewrites the user
// asks for (encrypt, remove the encryption, change the master password), and the one Keyloft
// makes itself when a vault's key is cheaper to guess than this machine allows.
#include "shiftText.h"
#include "vault/modGlobals.h"
#include "VaultFormat.h"
#include "VaultInternals.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QPromise>

#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace modGlobals {
namespace {

using namespace internal;
namespace sealed = vault::sealed;
using platform::Failure;
using platform::Result;

// A key derivation takes a good part of a second: it runs on a worker thread while the windows
// keep painting (a local event loop, left when the worker is done), and the caller's window
// ignores clicks meanwhile. A worker that can't be had is a failure like any other, never an
// exception in the window's event handler.
template <class Work>
auto whileEventsRun(Work work) -> decltype(work()) {
  std::optional<decltype(work())> result;
  try {
    QPromise<void> promise;
    QFutureWatcher<void> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    promise.start();
    watcher.setFuture(promise.future());
    std::thread worker([&] {
      try {
        result.emplace(work());
      } catch (const std::bad_alloc&) {
        result.emplace(Failure{"Not enough memory for the key derivation"});
      }
      promise.finish();
    });
    // Without an application (tests, benchmarks) there are no window events to run.
    if (QCoreApplication::instance()) loop.exec();
    worker.join();
  } catch (const std::system_error&) {
    return Failure{"Keyloft could not start the key derivation"};
  } catch (const std::bad_alloc&) {
    return Failure{"Not enough memory for the key derivation"};
  }
  return std::move(*result);
}

// A new key for `password` at `params`, derived while events run.
Result<sealed::Sealing> deriveNewKey(const platform::SecretText& password, const sealed::KdfParams& params) {
  const platform::SecretBytes bytes = codePageBytes(password);
  return whileEventsRun([&] { return sealed::newSealing(bytes, params); });
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
PasswordCheck checkTyped(const platform::SecretText& typed, std::u16string* why) {
  if (g_sealed.file.empty()) return typed == storedMasterPassword ? PasswordCheck::Right : PasswordCheck::Wrong;
  const platform::SecretBytes password = codePageBytes(typed);
  auto unlocked = whileEventsRun([&] { return sealed::unlock(g_sealed.file, password); });
  if (!unlocked) {
    if (why) *why = failedTo("Could not open", vaultPath(), unlocked.why());
    return PasswordCheck::Failed;
  }
  if (!*unlocked) return PasswordCheck::Wrong;
  sealed::Sealing& sealing = **unlocked;
  platform::SecretBytes plain;
  std::string damage;
  if (!sealed::open(g_sealed.file, sealing, plain, damage)) {
    fatal(problem("Could not open", vaultPath(), damage));
    return PasswordCheck::Ended;
  }
  // Line 1 inside is the master password, as in a plain vault; it is kept as it stands.
  vault::LineReader lines(plain.view());
  std::string_view first;
  lines.next(first);
  storedMasterPassword = unshiftedText(first);
  g_sealed.sealing = std::make_unique<sealed::Sealing>(std::move(sealing));
  g_sealed.plain = std::move(plain);
  g_sealed.file = {};
  return PasswordCheck::Right;
}

}  // namespace

PasswordCheck checkMasterPassword(const platform::SecretText& typed, std::u16string* why) {
  PasswordCheck check = PasswordCheck::Ended;
  whileLoading([&] { check = checkTyped(typed, why); });
  return check;
}

platform::Result<std::optional<platform::SecretBytes>> openSealedFile(std::string_view fileBytes,
                                                                      const platform::SecretText& password) {
  if (auto why = sealed::headerProblem(fileBytes)) return Failure{*why};
  const platform::SecretBytes bytes = codePageBytes(password);
  auto unlocked = whileEventsRun([&] { return sealed::unlock(fileBytes, bytes); });
  if (!unlocked) return Failure{unlocked.why()};
  if (!*unlocked) return std::optional<platform::SecretBytes>();
  platform::SecretBytes plain;
  std::string damage;
  try {
    if (!sealed::open(fileBytes, **unlocked, plain, damage)) return Failure{damage};
  } catch (const std::bad_alloc&) {
    return Failure{"Not enough memory to read it"};
  }
  return std::optional<platform::SecretBytes>(std::move(plain));
}

bool encryptVault() {
  auto sealing = deriveNewKey(masterPassword, sealed::costsForNewKey());
  if (!sealing) {
    status(failedTo("Could not encrypt", kFileName, sealing.why()));
    return false;
  }
  auto owned = std::make_unique<sealed::Sealing>(std::move(*sealing));
  if (!rewrite(owned.get(), u"Vault encrypted.  Data saved.")) return false;
  g_sealed.sealing = std::move(owned);
  return true;
}

bool removeEncryption() {
  if (!rewrite(nullptr, u"Encryption removed.  Data saved.")) return false;
  g_sealed.sealing.reset();
  rememberSealed(false);
  return true;
}

bool changeMasterPassword(const platform::SecretText& newPassword) {
  std::unique_ptr<sealed::Sealing> sealing;
  if (g_sealed.sealing) {
    // A new salt and key with the costs this vault has, unless they are below the floor.
    const sealed::KdfParams& params = g_sealed.sealing->params;
    auto made = deriveNewKey(newPassword,
                             sealed::weakerThan(params, sealed::leastCosts()) ? sealed::costsForNewKey() : params);
    if (!made) {
      status(failedTo("Could not change the master password of", kFileName, made.why()));
      return false;
    }
    sealing = std::make_unique<sealed::Sealing>(std::move(*made));
  }
  platform::SecretText old = std::exchange(masterPassword, newPassword);
  if (!rewrite(sealing.get(), u"Master password changed.  Data saved.")) {
    masterPassword = std::move(old);
    return false;
  }
  storedMasterPassword = masterPassword;
  if (sealing) g_sealed.sealing = std::move(sealing);
  return true;
}

void strengthenWeakEncryption() {
  const sealed::Sealing* weak = g_sealed.sealing.get();
  if (!weak || !sealed::weakerThan(weak->params, sealed::leastCosts())) return;
  auto sealing = deriveNewKey(masterPassword, sealed::costsForNewKey());
  // Events ran meanwhile: if the user removed or changed the encryption, theirs stands.
  if (g_sealed.sealing.get() != weak) {
    qCDebug(vaultLog) << "Strengthening dropped: the encryption changed meanwhile";
    return;
  }
  if (!sealing) {
    status(failedTo("Could not strengthen the encryption of", kFileName, sealing.why()));
    return;
  }
  auto owned = std::make_unique<sealed::Sealing>(std::move(*sealing));
  if (rewrite(owned.get(), u"Vault encryption strengthened.  Data saved.")) g_sealed.sealing = std::move(owned);
}

std::unique_ptr<sealed::Sealing> internal::newVaultSealing(std::string& why) {
  auto made = deriveNewKey(masterPassword, sealed::costsForNewKey());
  if (!made) {
    why = made.why();
    return nullptr;
  }
  return std::make_unique<sealed::Sealing>(std::move(*made));
}

void wipeSecrets() {
  // Moving an empty text in hands each buffer back to the heap, wiped.
  masterPassword = platform::SecretText();
  storedMasterPassword = platform::SecretText();
  g_sealed = {};
}

}  // namespace modGlobals
