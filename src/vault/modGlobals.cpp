#include "vault/modGlobals.h"

#include "platform/base/CodePage.h"
#include "platform/base/DirListing.h"
#include "platform/base/Files.h"
#include "shiftText.h"
#include "VaultFormat.h"
#include "VaultInternals.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <new>

namespace column = platform::column;
namespace cp = platform::codepage;

Q_LOGGING_CATEGORY(vaultLog, "keyloft.vault", QtInfoMsg)

namespace modGlobals {
namespace internal {

SealedState g_sealed;

std::u16string u16(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toStdU16String();
}

void status(const std::u16string& text) { vaultHost().showStatusMessage(text); }

void fatal(const std::u16string& text) { vaultHost().fatalError(text); }

platform::ListItems* entryList() { return vaultHost().list(); }

std::u16string problem(const char* verb, const std::string& what, const std::string& reason) {
  return u16(std::string(verb) + " " + what + ": " + reason);
}

std::u16string failedTo(const char* verb, const std::string& what, const std::string& why) {
  return problem(verb, what, why) + u".";
}

}  // namespace internal

namespace {

using namespace internal;

bool g_locked = false;  // this process holds the vault's lock

// The largest vault Keyloft reads: the refusal says "1 GiB".
constexpr std::uint64_t kMaxVaultSize = 1ULL << 30;
// The size of the vault as last read, which the out-of-memory sentence gives.
std::uint64_t g_readSize = 0;

// A size as the user reads it: bytes below 1 KiB, else one decimal in the largest binary unit it
// reaches, rounded up, so that a size over a limit never reads as the limit itself.
std::string sizeText(std::uint64_t bytes) {
  static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  for (int u = 5; u >= 0; --u) {
    const std::uint64_t unit = 1ULL << (10 * (u + 1));
    const std::uint64_t tenths = bytes / unit * 10 + ((bytes % unit) * 10 + unit - 1) / unit;
    if (tenths >= 10) return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + kUnits[u];
  }
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

}  // namespace

// Reads the whole vault; a file that can't be read ends the program, untouched.
bool internal::readVault(platform::SecretBytes& bytes) {
  std::string path = vaultPath();
  std::string error;
  if (!ensureVaultFile(path, &error)) {
    const bool missing = platform::files::pathKind(path) == platform::files::PathKind::Missing;
    fatal(problem(missing ? "Could not create" : "Could not open", path, error));
    return false;
  }
  const platform::files::FileRead read = platform::files::readFile(path, bytes, kMaxVaultSize);
  g_readSize = read.size;
  switch (read.outcome) {
    case platform::files::FileRead::Outcome::Read: return true;
    case platform::files::FileRead::Outcome::TooLarge:
      fatal(problem("Could not open", path,
                    "The file is " + sizeText(read.size) + "; Keyloft opens vaults up to 1 GiB."));
      break;
    case platform::files::FileRead::Outcome::OutOfMemory: fatalOutOfMemory(); break;
    case platform::files::FileRead::Outcome::Failed: fatal(problem("Could not read", path, read.error)); break;
  }
  return false;
}

namespace {

// Not memchr: the rest of a file without a line end is an empty view with no data pointer.
std::size_t countLineEnds(std::string_view bytes) {
  return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r'));
}

// Adds the entry lines of raw (scrambled) file bytes to the list; returns how many were added.
// Lines are found and split on the raw bytes, so each row is unshifted once, as it is copied.
std::int64_t addEntries(std::string_view raw) {
  platform::ListItems* list = entryList();
  if (!list) return 0;
  vault::LineReader lines(raw);
  std::vector<platform::ListRow> rows;
  rows.reserve(countLineEnds(raw) + 1);
  std::string_view line;
  while (lines.next(line)) {
    if (vault::isSkippedLine(line)) continue;
    auto piece = vault::splitEntry(line, vault::kShiftedSeparator);
    rows.push_back(list->makeRow(piece[0], piece[1], piece[2], shiftBytes));
  }
  auto added = static_cast<std::int64_t>(rows.size());
  list->appendRows(std::move(rows));
  return added;
}

// An encrypted vault found empty or missing (a sync conflict, a careless restore) is not quietly
// replaced by a plain one: the user says whether to start anew, and the new vault is encrypted.
bool confirmNewVaultIfItWasSealed() {
  if (!rememberedSealed()) return true;
  const bool anew = vaultHost().askYesNo(u"Vault Was Encrypted",
                                         u"data.enc was encrypted when Keyloft last used it, and now it is empty or "
                                         u"missing.  Create a new, empty vault?");
  if (!anew) {
    vaultHost().endProgram();
    return false;
  }
  g_sealed.createSealed = true;
  return true;
}

}  // namespace

void internal::fatalOutOfMemory() {
  fatal(problem("Could not open", vaultPath(), "Not enough memory to read the vault (" + sizeText(g_readSize) + ")."));
}

namespace {
VaultHost g_idleHost;
VaultHost* g_host = &g_idleHost;
}  // namespace

void setVaultHost(VaultHost* host) { g_host = host ? host : &g_idleHost; }

VaultHost& vaultHost() { return *g_host; }

std::string vaultPath() { return platform::files::programFolder() + platform::files::kPathSeparator + kFileName; }

bool ensureVaultFile(const std::string& path, std::string* error) {
  if (platform::fileListed(path)) return true;
  std::string reason;
  switch (platform::files::pathKind(path)) {
    case platform::files::PathKind::RegularFile:  // there, though the folder can't be listed
      return true;
    case platform::files::PathKind::NotRegularFile: reason = platform::files::kNotRegularFile; break;
    case platform::files::PathKind::LinkToNothing: reason = "A link to a missing file"; break;
    case platform::files::PathKind::Missing: {
      auto created = platform::files::createFileExclusively(path, vault::kLineEnd);
      if (created) return true;
      reason = created.why();
      break;
    }
  }
  if (error) *error = reason;
  return false;
}

bool lockVault() {
  if (g_locked) return true;
  const std::string lockPath = platform::files::programFolder() + platform::files::kPathSeparator + "." + kFileName +
                               ".lock";
  // Unavailable (a read-only folder) is no conflict: nothing can be saved there by anyone.
  const platform::files::LockResult lock = platform::files::lockForProcess(lockPath);
  if (lock == platform::files::LockResult::Unavailable)
    qCDebug(vaultLog) << "No lock could be taken at" << QString::fromStdString(lockPath) << "; opening unlocked";
  g_locked = lock != platform::files::LockResult::Busy;
  return g_locked;
}

namespace {

// Reads the vault and asks for the password: openVault without its guard.
void readAndAsk() {
  platform::SecretBytes bytes;
  // A missing file is created only once a new vault is wanted.
  const bool missing = platform::files::pathKind(vaultPath()) == platform::files::PathKind::Missing;
  if (!missing && !readVault(bytes)) return;
  if (vault::sealed::isSealed(bytes)) {
    // What can be told without the password ends the program now, the file left as it is.
    if (auto why = vault::sealed::headerProblem(bytes)) {
      fatal(problem("Could not open", vaultPath(), *why));
      return;
    }
    rememberSealed(true);
    g_sealed.file = std::move(bytes);
    askMasterPassword();
    return;
  }
  vault::LineReader lines(bytes.view());
  std::string_view first;
  lines.next(first);  // a file of zero bytes has no first line: no master password yet
  if (!first.empty()) {
    storedMasterPassword = unshiftedText(first);
    askMasterPassword();
    return;
  }
  if (!confirmNewVaultIfItWasSealed()) return;
  if (missing && !readVault(bytes)) return;
  askNewMasterPassword();
}

}  // namespace

void openVault() {
  if (!lockVault()) {
    fatal(u16("Keyloft is already running with the vault " + vaultPath() +
              ".  Only one Keyloft at a time can use a vault."));
    return;
  }
  platform::files::removeStaleTemporaries(vaultPath());
  whileLoading(readAndAsk);
}

void askNewMasterPassword() {
  creatingMasterPassword = true;
  vaultHost().showPasswordDialog();
}

void askMasterPassword() {
  creatingMasterPassword = false;
  vaultHost().showPasswordDialog();
}

namespace {

// createVault without its guard.
Created writeFirstLine() {
  // Entry lines found under an empty first line are kept, byte for byte, and shown.
  platform::SecretBytes old;
  if (!readVault(old)) return Created::Ended;
  vault::LineReader lines(old.view());
  std::string_view first;
  lines.next(first);
  std::string_view entries = lines.rest();

  platform::SecretBytes image = shiftedBytes(masterPassword);
  image.append(vault::kLineEnd);
  image.append(entries);
  std::string error;
  bool ok = false;
  // The file's failure, if any, as the sentence the status bar gives.
  const auto written = [&](const platform::Result<std::monostate>& write) {
    if (!write) error = write.why();
    return write.ok();
  };
  if (!g_sealed.createSealed) {
    ok = written(platform::files::writeFileAtomically(vaultPath(), image));
  } else if (auto sealing = newVaultSealing(error)) {
    auto sealed = vault::sealed::seal(image, *sealing);
    if (sealed)
      ok = written(platform::files::writeFileAtomically(vaultPath(), *sealed));
    else
      error = sealed.why();
    // Saved or not, every later save seals with this key.
    g_sealed.sealing = std::move(sealing);
    if (ok) rememberSealed(true);
  } else {
    g_sealed.keyMissing = error;
  }
  // The entry lines are in the file either way; shown only on success, the next save would drop them.
  addEntries(entries);
  if (ok) {
    status(u"Password created successfully");
  } else {
    status(problem("Could not save", kFileName, error));
  }
  return ok ? Created::Written : Created::NotWritten;
}

}  // namespace

Created createVault() {
  Created created = Created::Ended;
  whileLoading([&] { created = writeFirstLine(); });
  return created;
}

std::int64_t addEntriesOf(std::string_view fileBytes) {
  vault::LineReader lines(fileBytes);
  std::string_view first;
  lines.next(first);  // the master password, not used here
  return addEntries(lines.rest());
}

namespace {

// loadVault without its guard.
bool listEntries() {
  platform::SecretBytes bytes;
  if (g_sealed.sealing) {
    bytes = std::move(g_sealed.plain);  // opened by the password check
  } else if (!readVault(bytes)) {
    return false;
  }
  std::int64_t count = addEntriesOf(bytes);
  status(u"Loaded " + u16(std::to_string(count)) + u" entries");
  return true;
}

}  // namespace

bool loadVault() {
  bool ok = false;
  return whileLoading([&] { ok = listEntries(); }) && ok;
}

platform::SecretBytes savedImage(const platform::ListItems& list) {
  const std::int64_t rows = list.count();
  const platform::SecretBytes master = shiftedBytes(masterPassword);
  std::size_t size = master.size() + 4;
  for (std::int64_t r = 1; r <= rows; ++r) {
    const auto& row = list.row(r);
    size += row.column(column::kUserName).size() + row.column(column::kPassword).size() +
            row.column(column::kLocation).size() + 8;
  }
  platform::SecretBytes image;
  image.reserve(size);
  image.append(master);
  image.append(vault::kLineEnd);
  for (std::int64_t r = 1; r <= rows; ++r) {
    const auto& row = list.row(r);
    vault::appendShiftedEntry(image, row.column(column::kUserName), row.column(column::kPassword),
                              row.column(column::kLocation));
  }
  image.append(vault::kLineEnd);
  return image;
}

bool saveVault() {
  if (!writeList(g_sealed.sealing.get())) return false;
  status(u"Saved " + savedTimeText());
  return true;
}

bool internal::writeList(const vault::sealed::Sealing* sealing) {
  const BusyScope busy;
  // Without the rows there is nothing to save from: writing would replace every entry with none.
  const platform::ListItems* list = entryList();
  if (!list) {
    status(problem("Could not save", kFileName, "The list of entries is not open"));
    return false;
  }
  const std::string path = vaultPath();
  // Under the vault's lock any temporary file beside it was left by a killed save of ours.
  if (g_locked) platform::files::removeStaleTemporaries(path);
  if (!sealing && !g_sealed.keyMissing.empty()) {
    status(problem("Could not save", kFileName, g_sealed.keyMissing));
    return false;
  }
  std::string error;
  try {
    const platform::SecretBytes plain = savedImage(*list);
    platform::Result<std::string> sealed = sealing ? vault::sealed::seal(plain, *sealing) : std::string();
    if (!sealed) {
      status(problem("Could not save", kFileName, sealed.why()));
      return false;
    }
    if (ensureVaultFile(path, &error)) {
      auto written = platform::files::writeFileAtomically(path, sealing ? std::string_view(*sealed) : plain.view());
      if (written) {
        if (sealing) {
          g_sealed.keyMissing.clear();
          rememberSealed(true);
        }
        return true;
      }
      error = written.why();
    }
  } catch (const std::bad_alloc&) {
    // The whole image is built in memory before anything is written: the file is as it was.
    error = "Not enough memory";
  }
  status(problem("Could not save", kFileName, error));
  return false;
}

std::u16string savedTimeText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buf[128];
  const char* format = (local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0) ? "%x" : "%x %X";
  std::size_t n = std::strftime(buf, sizeof buf, format, &local);
  // The user's regional settings may give non-ASCII text in the locale's encoding.
  return QString::fromLocal8Bit(buf, static_cast<qsizetype>(n)).toStdU16String();
}

void resetVaultForTests() {
  platform::files::releaseLocksForTests();
  g_locked = false;
  masterPassword.wipe();
  storedMasterPassword.wipe();
  creatingMasterPassword = false;
  g_sealed = {};
  g_readSize = 0;
  resetLockForTests();
}

}  // namespace modGlobals
