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
  const BusyScope busy;
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
Done rewrite(const sealed::Sealing* sealing, const char16_t* done) {
  Done written = writeList(sealing);
  if (written) status(done);
  return written;
}

}  // namespace

bool vaultSealed() { return g_vault.sealed.sealing != nullptr; }

namespace {

// checkMasterPassword without the guard against running out of memory.
Result<PasswordCheck> checkTyped(const platform::SecretText& typed) {
  if (closedForLock())
    if (auto refused = rereadForUnlock()) return *refused;
  if (g_vault.sealed.file.empty()) return typed == storedMasterPassword ? PasswordCheck::Right : PasswordCheck::Wrong;
  auto unlocked = unlockWith(g_vault.sealed.file, typed);
  if (!unlocked) return Failure{utf8(failedTo("Could not open", vaultPath(), unlocked.why()))};
  if (!*unlocked) return PasswordCheck::Wrong;
  sealed::Sealing& sealing = **unlocked;
  auto opened = sealed::open(g_vault.sealed.file, sealing);
  if (!opened) {
    // Out of memory is said as it is while loading: with the size read.
    if (opened.why() == sealed::kNoMemoryToOpen)
      fatalOutOfMemory();
    else
      fatal(problem("Could not open", vaultPath(), opened.why()));
    return PasswordCheck::Ended;
  }
  platform::SecretBytes plain = std::move(*opened);
  // Line 1 inside is the master password, as in a plain vault; it is kept as it stands.
  vault::LineReader lines(plain.view());
  std::string_view first;
  lines.next(first);
  storedMasterPassword = unshiftedText(first);
  g_vault.sealed.sealing = std::make_unique<sealed::Sealing>(std::move(sealing));
  g_vault.sealed.plain = std::move(plain);
  g_vault.sealed.file = {};
  return PasswordCheck::Right;
}

}  // namespace

Result<PasswordCheck> checkMasterPassword(const platform::SecretText& typed) {
  Result<PasswordCheck> check = PasswordCheck::Ended;
  // Memory running out ends the program: Ended, unlike a key that could not be derived.
  const Done checked = whileLoading([&]() -> Done {
    check = checkTyped(typed);
    return std::monostate{};
  });
  if (!checked) return PasswordCheck::Ended;
  return check;
}

platform::Result<std::optional<platform::SecretBytes>> openSealedFile(std::string_view fileBytes,
                                                                      const platform::SecretText& password) {
  if (auto why = sealed::headerProblem(fileBytes)) return Failure{*why};
  auto unlocked = unlockWith(fileBytes, password);
  if (!unlocked) return Failure{unlocked.why()};
  if (!*unlocked) return std::optional<platform::SecretBytes>();
  auto plain = sealed::open(fileBytes, **unlocked);
  if (!plain) return plain.failure();
  return std::optional<platform::SecretBytes>(std::move(*plain));
}

Done encryptVault() {
  // Each rewrites the list: first it must hold what another machine may have saved meanwhile.
  if (auto fresh = catchUp(); !fresh) return fresh.failure();
  auto sealing = deriveNewKey(masterPassword, sealed::costsForNewKey());
  if (!sealing) return saidInStatus(failedTo("Could not encrypt", kFileName, sealing.why()));
  auto owned = std::make_unique<sealed::Sealing>(std::move(*sealing));
  Done written = rewrite(owned.get(), u"Vault encrypted.  Data saved.");
  if (written) g_vault.sealed.sealing = std::move(owned);
  return written;
}

Done removeEncryption() {
  if (auto fresh = catchUp(); !fresh) return fresh.failure();
  Done written = rewrite(nullptr, u"Encryption removed.  Data saved.");
  if (!written) return written;
  g_vault.sealed.sealing.reset();
  rememberSealed(false);
  return written;
}

Done changeMasterPassword(const platform::SecretText& newPassword) {
  if (auto fresh = catchUp(); !fresh) return fresh.failure();
  std::unique_ptr<sealed::Sealing> sealing;
  if (g_vault.sealed.sealing) {
    // A new salt and key with the costs this vault has, unless they are below the floor.
    const sealed::KdfParams& params = g_vault.sealed.sealing->params;
    auto made = deriveNewKey(newPassword,
                             sealed::weakerThan(params, sealed::leastCosts()) ? sealed::costsForNewKey() : params);
    if (!made) return saidInStatus(failedTo("Could not change the master password of", kFileName, made.why()));
    sealing = std::make_unique<sealed::Sealing>(std::move(*made));
  }
  platform::SecretText old = std::exchange(masterPassword, newPassword);
  Done written = rewrite(sealing.get(), u"Master password changed.  Data saved.");
  if (!written) {
    masterPassword = std::move(old);
    return written;
  }
  storedMasterPassword = masterPassword;
  if (sealing) g_vault.sealed.sealing = std::move(sealing);
  return written;
}

void strengthenWeakEncryption() {
  const sealed::Sealing* weak = g_vault.sealed.sealing.get();
  if (!weak || !sealed::weakerThan(weak->params, sealed::leastCosts())) return;
  auto sealing = deriveNewKey(masterPassword, sealed::costsForNewKey());
  // Events ran meanwhile: if the user removed or changed the encryption, theirs stands.
  if (g_vault.sealed.sealing.get() != weak) {
    qCDebug(vaultLog) << "Strengthening dropped: the encryption changed meanwhile";
    return;
  }
  if (!sealing) {
    status(failedTo("Could not strengthen the encryption of", kFileName, sealing.why()));
    return;
  }
  auto owned = std::make_unique<sealed::Sealing>(std::move(*sealing));
  if (rewrite(owned.get(), u"Vault encryption strengthened.  Data saved.")) g_vault.sealed.sealing = std::move(owned);
}

Result<std::unique_ptr<sealed::Sealing>> internal::newVaultSealing() {
  auto made = deriveNewKey(masterPassword, sealed::costsForNewKey());
  if (!made) return made.failure();
  return std::make_unique<sealed::Sealing>(std::move(*made));
}

Result<std::optional<sealed::Sealing>> internal::unlockWith(std::string_view fileBytes,
                                                            const platform::SecretText& password) {
  const platform::SecretBytes bytes = codePageBytes(password);
  return whileEventsRun([&] { return sealed::unlock(fileBytes, bytes); });
}

void wipeSecrets() {
  // Moving an empty text in hands each buffer back to the heap, wiped.
  masterPassword = platform::SecretText();
  storedMasterPassword = platform::SecretText();
  g_vault.sealed = {};
}

}  // namespace modGlobals
