#pragma once
// The vault's state and operations. The windows it hands over to (the password dialog, the main
// window's list, status bar and after-load step) are reached through VaultHost, which the program
// fills at start.
#include "platform/base/ListItems.h"
#include "platform/base/Secret.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace modGlobals {

// The master password of this run, plain; empty until the dialog succeeds. Both copies wipe
// every buffer they held.
inline platform::SecretText masterPassword;
// Line 1 of the file, unscrambled.
inline platform::SecretText storedMasterPassword;
// True when the dialog must create a master password, false when it must verify one.
inline bool creatingMasterPassword = false;

struct VaultHost {
  // The rows of lstPass; nullptr while the main window is not loaded (nothing is then saved).
  std::function<platform::ListItems*()> list;
  std::function<void(const std::u16string&)> showStatusMessage;
  std::function<void()> afterFormLoad;
  std::function<void()> showPasswordDialog;  // load frmPass and show it without waiting
  std::function<void()> unloadPasswordDialog;
  std::function<void()> doEvents;  // let pending window events run once
  // The vault can't be read or created: tell the user and end the program.
  std::function<void(const std::u16string&)> fatalError;
  // A question with Yes and No (title, text); true for Yes.
  std::function<bool(const std::u16string&, const std::u16string&)> askYesNo;
  std::function<void()> endProgram;  // without a word: the user chose to end
};
void setVaultHost(VaultHost host);

std::string vaultPath();

// Each returns false (after reporting) when the file could not be read or written. Loading a vault
// over 1 GiB, or one that does not fit in memory, ends the program with a message (fatalError).
bool ensureVaultFile(const std::string& path, std::string* error = nullptr);
// One running program per vault: false when another process holds the vault's lock.
bool lockVault();
// A vault Keyloft last left encrypted and now finds empty or missing asks the host whether to create
// a new one (No ends the program, nothing written); createVault then writes it encrypted.
void openVault();
void askNewMasterPassword();
void askMasterPassword();
bool createVault();
bool loadVault();
bool saveVault();
// The two halves of load and save without the file: adds the entry lines of a whole file's bytes
// to the list (returns how many; 0 without a list), and the bytes saveVault writes for a list.
std::int64_t addEntriesOf(std::string_view fileBytes);
platform::SecretBytes savedImage(const platform::ListItems& list);

// The encrypted vault, which the user chooses: data.enc sealed with a key derived from the master
// password. True while it is sealed.
bool vaultSealed();

// Checks a master password typed at the start. A sealed vault derives its key meanwhile, with
// window events running (doEvents); if its content then turns out damaged, the program is ended
// with a message (Ended). Failed: the key could not be derived (its memory could not be had),
// which says nothing about the password; `why` then holds the sentence for the user. On Right a
// sealed vault is open and loadVault lists it.
enum class PasswordCheck { Right, Wrong, Failed, Ended };
PasswordCheck checkMasterPassword(const platform::SecretText& typed, std::u16string* why = nullptr);

// Rewrite data.enc sealed with a key from the master password, plain again (byte for byte what a
// plain save writes), or with a new master password. Each says in the status bar how it went; a
// failure (a save, or a key that could not be derived) leaves the file, its form and the master
// password as they were.
bool encryptVault();
bool removeEncryption();
bool changeMasterPassword(const platform::SecretText& newPassword);

// A sealed vault whose key costs less than this machine's floor is encrypted again, with a new salt
// and this machine's costs, once its list is loaded; the status bar says how it went.
void strengthenWeakEncryption();

// Wipes the master password's copies the vault holds and lets go of the key (its memory is wiped
// as it is freed): at the program's end.
void wipeSecrets();

// The text "Saved " is followed by: the short date, a space and the long time (no time at midnight).
std::u16string savedTimeText();

// Back to the state at program start.
void resetVaultForTests();

}  // namespace modGlobals
