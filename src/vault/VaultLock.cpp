// The vault's side of locking: closed with nothing of the entries or the key left in memory, and
// opened again from data.enc as it is at the unlock.
#include "vault/modGlobals.h"
#include "VaultInternals.h"

#include <QCoreApplication>

#include <sodium.h>

#include <array>
#include <string>
#include <utility>

namespace modGlobals {
namespace {

using namespace internal;
using platform::Failure;
namespace column = platform::column;

static_assert(sizeof(LockState::key) == crypto_generichash_KEYBYTES &&
              sizeof(LockState::hash) == crypto_generichash_BYTES);

std::array<unsigned char, crypto_generichash_BYTES> hashOf(const platform::ListRow& row,
                                                           const decltype(LockState::key)& key) {
  crypto_generichash_state state;
  crypto_generichash_init(&state, key.data(), key.size(), crypto_generichash_BYTES);
  for (int c : {column::kUserName, column::kPassword, column::kLocation}) {
    const std::string_view text = row.column(c);
    // Each text's length first, so that moving a character between fields changes the hash.
    const std::uint64_t size = text.size();
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(&size), sizeof size);
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(text.data()), text.size());
  }
  std::array<unsigned char, crypto_generichash_BYTES> hash{};
  crypto_generichash_final(&state, hash.data(), hash.size());
  platform::secret::wipe(&state, sizeof state);
  return hash;
}

// The entry selected at the lock: enough to select it again, nothing to read it back from.
void rememberSelected(const platform::ListItems& list) {
  LockState& lock = g_vault.lock;
  lock.remembered = false;
  const std::int64_t selected = list.firstSelected();
  if (selected == 0 || sodium_init() < 0) return;
  randombytes_buf(lock.key.data(), lock.key.size());
  lock.hash = hashOf(list.row(selected), lock.key);
  lock.remembered = true;
}

void selectRemembered(platform::ListItems& list) {
  LockState& lock = g_vault.lock;
  if (!lock.remembered) return;
  for (std::int64_t n = 1; n <= list.count(); ++n) {
    if (hashOf(list.row(n), lock.key) != lock.hash) continue;
    list.setSelected(n, true);
    break;
  }
  lock.remembered = false;
  lock.key = {};
  lock.hash = {};
}

}  // namespace

internal::BusyScope::BusyScope() { ++g_vault.lock.busy; }
internal::BusyScope::~BusyScope() {
  if (--g_vault.lock.busy > 0 || g_vault.lock.afterBusy.empty()) return;
  auto steps = std::exchange(g_vault.lock.afterBusy, {});
  auto run = [steps = std::move(steps)] {
    for (const auto& step : steps) step();
  };
  // Not inside the save: its caller still has to finish (a rollback, a status).
  if (QCoreApplication* app = QCoreApplication::instance())
    QMetaObject::invokeMethod(app, std::move(run), Qt::QueuedConnection);
  else
    run();
}

void whenNotBusy(std::function<void()> step) {
  if (g_vault.lock.busy > 0)
    g_vault.lock.afterBusy.push_back(std::move(step));
  else
    step();
}

bool vaultBusy() { return g_vault.lock.busy > 0; }

void closeForLock() {
  if (platform::ListItems* list = entryList()) {
    rememberSelected(*list);
    list->clear();
  }
  wipeSecrets();
  g_vault.lock.closed = true;
}

bool closedForLock() { return g_vault.lock.closed; }

std::optional<platform::Result<PasswordCheck>> internal::rereadForUnlock() {
  platform::SecretBytes bytes;
  if (!readVault(bytes)) return PasswordCheck::Ended;
  auto taken = takeInForCheck(bytes);
  if (!taken) return Failure{utf8(problem("Could not open", vaultPath(), taken.why()))};
  // Emptied meanwhile (a sync, a restore): no password can open it, and no new one is made here.
  if (!*taken) return Failure{utf8(problem("Could not open", vaultPath(), "It no longer holds a master password."))};
  return std::nullopt;
}

platform::Result<std::int64_t> reloadVaultAfterUnlock() {
  platform::ListItems* list = entryList();
  if (!list) return Failure{"The list of entries is not open"};
  platform::SecretBytes bytes;
  if (g_vault.sealed.sealing) {
    bytes = std::move(g_vault.sealed.plain);  // opened by the password check
  } else if (auto read = readVault(bytes); !read) {
    return read.failure();
  }
  auto listed = whileLoading([&]() -> platform::Result<std::int64_t> {
    list->clear();
    return addEntriesOf(bytes);
  });
  if (!listed) return listed;
  const std::int64_t count = *listed;
  selectRemembered(*list);
  g_vault.lock.closed = false;
  status(u"Loaded " + u16(std::to_string(count)) + u" entries");
  return count;
}

}  // namespace modGlobals
