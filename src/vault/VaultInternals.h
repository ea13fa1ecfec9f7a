#pragma once
// What the vault's operations share between their files; not for use outside src/vault.
#include "platform/base/Secret.h"
#include "SealedVault.h"
#include "vault/EntryChange.h"
#include "vault/modGlobals.h"

#include "platform/base/Files.h"

#include <QFileSystemWatcher>
#include <QLoggingCategory>
#include <QTimer>

#include <array>

#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A failure the vault lets pass on purpose leaves a debug line here ("keyloft.vault", off unless
// QT_LOGGING_RULES turns it on).
Q_DECLARE_LOGGING_CATEGORY(vaultLog)

namespace modGlobals::internal {

inline constexpr char kFileName[] = "data.enc";
// The largest vault Keyloft reads: the refusal says "1 GiB".
inline constexpr std::uint64_t kMaxVaultSize = 1ULL << 30;

// An encrypted vault: its key while the program runs, and the file's bytes between the start and
// the password check that opens them.
struct SealedState {
  std::unique_ptr<vault::sealed::Sealing> sealing;  // null while the vault is plain
  platform::SecretBytes file;                       // the sealed bytes read at the start
  platform::SecretBytes plain;                      // what they opened to, until loaded
  bool createSealed = false;  // the vault to be created replaces an encrypted one: it is written encrypted
  std::string keyMissing;     // why such a vault has no key yet; until it has one nothing is written plain
};

// A vault in a synced folder: what data.enc was when last read or written, and the watch on it.
struct SyncState {
  std::optional<platform::files::FileStamp> stamp;
  bool needsNewPassword = false;
  std::vector<std::string> offered;  // conflicting copies asked about (or told of) in this run
  bool busy = false;                 // a reload or an offer is under way: a change meanwhile waits
  std::unique_ptr<QTimer> settle;
  std::unique_ptr<QFileSystemWatcher> watcher;
};

// Locking: whether the vault is closed for a lock, how many saves or derivations run, and the entry
// selected at the lock as a keyed hash of its texts (a new key each lock), never the texts.
struct LockState {
  bool closed = false;
  int busy = 0;
  std::vector<std::function<void()>> afterBusy;  // steps waiting for the saves and derivations to end
  std::array<unsigned char, 32> key{};
  std::array<unsigned char, 32> hash{};
  bool remembered = false;
};

// The vault's run-wide state besides the master password's copies (modGlobals.h), in one place
// with one reset (resetVaultForTests).
struct VaultRunState {
  SealedState sealed;
  bool locked = false;         // this process holds the vault's lock
  std::uint64_t readSize = 0;  // the size of the vault as last read, which the out-of-memory sentence gives
  VaultHost* host = nullptr;   // the windows; none: a host that does nothing
  SyncState sync;
  LockState lock;
};
extern VaultRunState g_vault;

// Reads the whole of data.enc; a file that can't be read ends the program (fatal), untouched.
platform::Done readVault(platform::SecretBytes& bytes);

// Marks a save or a key derivation under way (vaultBusy) for as long as it lives.
class BusyScope {
 public:
  BusyScope();
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};

// data.enc's bytes taken in for a password check: a sealed vault's kept for its key, a plain one's
// master password read from its first line. False when the file holds no master password; the
// failure is what the sealed header says is wrong.
platform::Result<bool> takeInForCheck(platform::SecretBytes& bytes);
// Before a password check while locked: data.enc read again, as the check needs it (its first line,
// or its sealed bytes). Nothing when the check can go on; otherwise the failure (its sentence for the
// user) or Ended.
std::optional<platform::Result<PasswordCheck>> rereadForUnlock();

// Ends the program saying that the vault, as last read, does not fit in memory.
platform::Failure fatalOutOfMemory();

// Runs one step of loading the vault (reading, opening, listing), which returns a Result. Memory
// running out anywhere in it ends the program with a sentence, as an unreadable vault does, and is
// that failure, instead of an exception thrown into the event loop.
template <class Step>
auto whileLoading(Step step) -> decltype(step()) {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    return fatalOutOfMemory();
  }
}

// Messages carry paths and system reasons, which are UTF-8 here, not code-page bytes.
std::u16string u16(std::string_view utf8);
std::string utf8(const std::u16string& text);
void status(const std::u16string& text);
void fatal(const std::u16string& text);
// Says `text` in the status bar, or ends the program with it; either way the failure that carries it.
platform::Failure saidInStatus(const std::u16string& text);
platform::Failure ended(const std::u16string& text);
platform::ListItems* entryList();
std::u16string problem(const char* verb, const std::string& what, const std::string& reason);
// A failed key derivation or encryption, as the status bar or a box says it: "<verb> <what>: <why>."
std::u16string failedTo(const char* verb, const std::string& what, const std::string& why);

// Whether Keyloft last left the vault (data.enc as its links resolve) encrypted, remembered in its
// settings: a sealed vault found emptied or removed must not quietly start again plain.
bool rememberedSealed();
void rememberSealed(bool sealed);

// A key for a new vault from the master password, with costs chosen on this machine, derived while
// window events run, or why it can't be derived.
platform::Result<std::unique_ptr<vault::sealed::Sealing>> newVaultSealing();

// Replaces data.enc with the list as it stands: sealed with `sealing`, or plain without. A failure
// (or no list) is said in the status bar and leaves the file as it was.
Done writeList(const vault::sealed::Sealing* sealing);

// A synced vault: the stamp of data.enc's real file as last read or written, taken before a read
// (a change during the read then shows as one) and after a write.
void noteVaultStamp();
// Before a change: lists data.enc again when it changed on disk (true). A failure when changes are
// refused (the file needs another master password), said in the status bar; an unreadable file
// lets the change go on, so that its save writes the list as it stands.
platform::Result<bool> catchUp();
// Empties the list and lists a whole file's bytes, selecting the first row that holds `selected`.
std::int64_t relist(std::string_view fileBytes, const Entry* selected);
// The key of a sealed file, derived from `password` while window events run: nothing when that
// password does not open it.
platform::Result<std::optional<vault::sealed::Sealing>> unlockWith(std::string_view fileBytes,
                                                                   const platform::SecretText& password);

}  // namespace modGlobals::internal
