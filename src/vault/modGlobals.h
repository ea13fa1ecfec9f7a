#pragma once
// The vault's state and operations. The windows it hands over to (the password dialog, the main
// window's list, status bar and after-load step) are reached through VaultHost, which the program
// fills at start.
#include "platform/base/ListItems.h"
#include "platform/base/Result.h"
#include "platform/base/Secret.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace modGlobals {

// The master password of this run, plain; empty until the dialog succeeds. Both copies wipe
// every buffer they held.
inline platform::SecretText masterPassword;
// Line 1 of the file, unscrambled.
inline platform::SecretText storedMasterPassword;
// True when the dialog must create a master password, false when it must verify one.
inline bool creatingMasterPassword = false;

// What the vault needs of the windows. Every step does nothing unless the host says otherwise.
class VaultHost {
 public:
  virtual ~VaultHost() = default;
  // The rows of lstPass; nullptr while the main window is not loaded (nothing is then saved).
  virtual platform::ListItems* list() { return nullptr; }
  virtual void showStatusMessage(const std::u16string& /*text*/) {}
  virtual void showPasswordDialog() {}  // load frmPass and show it without waiting
  // The main window's step once the vault is listed; the password dialog calls it.
  virtual void afterFormLoad() {}
  // After the right password while locked: the list filled again and the windows shown again.
  virtual void afterUnlock() {}
  // The vault can't be read or created: tell the user and end the program.
  virtual void fatalError(const std::u16string& /*text*/) {}
  // A question with Yes and No (title, text); true for Yes.
  virtual bool askYesNo(const std::u16string& /*title*/, const std::u16string& /*text*/) { return false; }
  virtual void endProgram() {}  // without a word: the user chose to end
  // A box with OK only (title, text).
  virtual void tell(const std::u16string& /*title*/, const std::u16string& /*text*/) {}
};
// The host stays its owner's; nullptr puts back the one that does nothing.
void setVaultHost(VaultHost* host);
VaultHost& vaultHost();

std::string vaultPath();

// Each failure below carries the sentence the user was given (in the status bar, or in the message
// that ends the program); none of them throws. Loading a vault over 1 GiB, or one that does not fit
// in memory, ends the program with a message (fatalError).
using platform::Done;

// Creates the vault's file when it is missing; a failure says why it is not a file Keyloft can use
// (nothing reported).
Done ensureVaultFile(const std::string& path);
// One running program per vault: false when another process holds the vault's lock.
bool lockVault();
// A vault Keyloft last left encrypted and now finds empty or missing asks the host whether to create
// a new one (No ends the program, nothing written); createVault then writes it encrypted.
void openVault();
void askNewMasterPassword();
void askMasterPassword();
// How creating the vault ended. NotWritten: the list is filled all the same and the status bar says
// why the file is not. A failure: the vault could not be read, the program ends with a message.
enum class Created { Written, NotWritten };
platform::Result<Created> createVault();
// Lists the vault's entries and says how many; a failure when the program ends with a message instead.
Done loadVault();
Done saveVault();
// The two halves of load and save without the file: adds the entry lines of a whole file's bytes
// to the list (returns how many; 0 without a list), and the bytes saveVault writes for a list.
std::int64_t addEntriesOf(std::string_view fileBytes);
platform::SecretBytes savedImage(const platform::ListItems& list);

// The encrypted vault, which the user chooses: data.enc sealed with a key derived from the master
// password. True while it is sealed.
bool vaultSealed();

// Checks a master password typed at the start. A sealed vault derives its key meanwhile, with
// window events running; if its content then turns out damaged, the program is ended
// with a message (Ended). A failure: the key could not be derived (its memory could not be had),
// which says nothing about the password, and nothing was said yet; its sentence is for the user.
// On Right a sealed vault is open and loadVault lists it.
enum class PasswordCheck { Right, Wrong, Ended };
platform::Result<PasswordCheck> checkMasterPassword(const platform::SecretText& typed);

// The plain bytes of another encrypted vault file (an import's), opened with `password` while
// window events run: nothing when the password is wrong; a failure, with the sentence, when the
// file is damaged or no key could be derived.
platform::Result<std::optional<platform::SecretBytes>> openSealedFile(std::string_view fileBytes,
                                                                      const platform::SecretText& password);

// Rewrite data.enc sealed with a key from the master password, plain again (byte for byte what a
// plain save writes), or with a new master password. Each says in the status bar how it went; a
// failure (a save, or a key that could not be derived) leaves the file, its form and the master
// password as they were.
Done encryptVault();
Done removeEncryption();
Done changeMasterPassword(const platform::SecretText& newPassword);

// A sealed vault whose key costs less than this machine's floor is encrypted again, with a new salt
// and this machine's costs, once its list is loaded; the status bar says how it went.
void strengthenWeakEncryption();

// Wipes the master password's copies the vault holds and lets go of the key (its memory is wiped
// as it is freed): at the program's end.
void wipeSecrets();

// Locking while the user is away. closeForLock empties the list (the selected entry is remembered
// by a hash of its texts under a key of this lock, never by its texts), wipes the master password's
// copies and the key, and leaves the vault closed: checkMasterPassword then reads data.enc again.
void closeForLock();
bool closedForLock();
// After the right password: the entries of data.enc as it is now, listed in the list's sort order,
// the remembered entry selected, "Loaded N entries" said; how many. The vault is open again.
platform::Result<std::int64_t> reloadVaultAfterUnlock();
// True while a save or a key derivation runs (window events run during the latter): a lock waits.
bool vaultBusy();
// Runs `step` now when nothing is busy, else once the last save or derivation under way has ended
// and its caller has returned (queued behind the events that are running).
void whenNotBusy(std::function<void()> step);

// The text "Saved " is followed by: the short date, a space and the long time (no time at midnight).
std::u16string savedTimeText();

// A vault in a synced folder: the file may change under Keyloft (another machine's save).
// Re-reads data.enc with the key (or master password) in memory and lists it again, the sort
// order and the selected entry (by its texts) kept; the number of entries. A failure has been told
// already: a file that now needs another master password (a box; every later change is refused
// until the restart), or one that can't be read (the status bar; the list stays).
platform::Result<std::int64_t> reloadVault();
// True when data.enc's real file is not the one Keyloft last read or wrote (stat, to the ns).
bool vaultChangedOnDisk();
// Follows data.enc and its folder while the list is open: reloads on a change made elsewhere and
// offers to merge the conflicting copies that sync programs leave beside it.
void watchVaultFile();
// What the watch does once a change has settled (tests call it directly).
void vaultFolderChanged();
// The copies sync programs leave when both machines changed the vault: Syncthing's
// data.sync-conflict-*.enc, Nextcloud's and ownCloud's, Dropbox's "conflicted copy" ones.
bool isConflictingCopyName(std::string_view fileName);
// Their names beside data.enc's real file, in name order.
std::vector<std::string> conflictingCopies();
// Adds every entry of the copy that the list lacks (the same three texts are the same entry),
// saves once, then deletes the copy and says so; the number of entries added.
platform::Result<std::int64_t> mergeConflictingCopy(const std::string& fileName);
// The lock file that keeps a second Keyloft off this vault: in the runtime folder, named by the
// vault's resolved path, or beside the vault where there is no runtime folder.
std::string vaultLockPath();

// Back to the state at program start.
void resetVaultForTests();

}  // namespace modGlobals
