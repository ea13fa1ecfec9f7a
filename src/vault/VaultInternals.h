#pragma once
// What the vault's operations share between their files; not for use outside src/vault.
#include "platform/base/Secret.h"
#include "SealedVault.h"
#include "vault/modGlobals.h"

#include <QLoggingCategory>

#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>

// A failure the vault lets pass on purpose leaves a debug line here ("keyloft.vault", off unless
// QT_LOGGING_RULES turns it on).
Q_DECLARE_LOGGING_CATEGORY(vaultLog)

namespace modGlobals::internal {

inline constexpr char kFileName[] = "data.enc";

// An encrypted vault: its key while the program runs, and the file's bytes between the start and
// the password check that opens them.
struct SealedState {
  std::unique_ptr<vault::sealed::Sealing> sealing;  // null while the vault is plain
  platform::SecretBytes file;                       // the sealed bytes read at the start
  platform::SecretBytes plain;                      // what they opened to, until loaded
  bool createSealed = false;  // the vault to be created replaces an encrypted one: it is written encrypted
  std::string keyMissing;     // why such a vault has no key yet; until it has one nothing is written plain
};
extern SealedState g_sealed;

// Reads the whole of data.enc; a file that can't be read ends the program (fatal), untouched.
bool readVault(platform::SecretBytes& bytes);

// Marks a save or a key derivation under way (vaultBusy) for as long as it lives.
class BusyScope {
 public:
  BusyScope();
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};

// Before a password check while locked: data.enc read again, as the check needs it (its first line,
// or its sealed bytes). Nothing when the check can go on; otherwise Failed (`why` says why) or Ended.
std::optional<PasswordCheck> rereadForUnlock(std::u16string* why);
void resetLockForTests();

// Ends the program saying that the vault, as last read, does not fit in memory.
void fatalOutOfMemory();

// Runs one step of loading the vault (reading, opening, listing). Memory running out anywhere in
// it ends the program with a sentence, as an unreadable vault does, instead of throwing into the
// event loop; false then.
template <class Step>
bool whileLoading(Step step) {
  try {
    step();
    return true;
  } catch (const std::bad_alloc&) {
    fatalOutOfMemory();
    return false;
  }
}

// Messages carry paths and system reasons, which are UTF-8 here, not code-page bytes.
std::u16string u16(std::string_view utf8);
void status(const std::u16string& text);
void fatal(const std::u16string& text);
platform::ListItems* entryList();
std::u16string problem(const char* verb, const std::string& what, const std::string& reason);
// A failed key derivation or encryption, as the status bar or a box says it: "<verb> <what>: <why>."
std::u16string failedTo(const char* verb, const std::string& what, const std::string& why);

// Whether Keyloft last left the vault (data.enc as its links resolve) encrypted, remembered in its
// settings: a sealed vault found emptied or removed must not quietly start again plain.
bool rememberedSealed();
void rememberSealed(bool sealed);

// A key for a new vault from the master password, with costs chosen on this machine, derived while
// window events run; nothing, with the reason in `why`, when it can't be derived.
std::unique_ptr<vault::sealed::Sealing> newVaultSealing(std::string& why);

// Replaces data.enc with the list as it stands: sealed with `sealing`, or plain without. A failure
// (or no list) is said in the status bar and leaves the file as it was.
bool writeList(const vault::sealed::Sealing* sealing);

}  // namespace modGlobals::internal
