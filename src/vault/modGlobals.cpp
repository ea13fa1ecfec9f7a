#include "vault/modGlobals.h"

#include "platform/base/CodePage.h"
#include "platform/base/DirListing.h"
#include "platform/base/Files.h"
#include "shiftText.h"
#include "VaultFormat.h"
#include "VaultInternals.h"

#include <QCryptographicHash>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <new>

namespace column = platform::column;
namespace cp = platform::codepage;
using platform::Failure;

Q_LOGGING_CATEGORY(vaultLog, "keyloft.vault", QtInfoMsg)

namespace modGlobals {
namespace internal {

VaultRunState g_vault;

std::u16string u16(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toStdU16String();
}

void status(const std::u16string& text) { vaultHost().showStatusMessage(text); }

void fatal(const std::u16string& text) { vaultHost().fatalError(text); }

platform::ListItems* entryList() { return vaultHost().list(); }

std::u16string problem(const char* verb, const std::string& what, const std::string& reason) {
  return u16(std::string(verb) + " " + what + ": " + reason);
}

std::string utf8(const std::u16string& text) { return QString::fromStdU16String(text).toStdString(); }

Failure saidInStatus(const std::u16string& text) {
  status(text);
  return Failure{utf8(text)};
}

Failure ended(const std::u16string& text) {
  fatal(text);
  return Failure{utf8(text)};
}

std::u16string failedTo(const char* verb, const std::string& what, const std::string& why) {
  return problem(verb, what, why) + u".";
}

}  // namespace internal

namespace {

using namespace internal;

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
Done internal::readVault(platform::SecretBytes& bytes) {
  std::string path = vaultPath();
  if (auto file = ensureVaultFile(path); !file) {
    const bool missing = platform::files::pathKind(path) == platform::files::PathKind::Missing;
    return ended(problem(missing ? "Could not create" : "Could not open", path, file.why()));
  }
  noteVaultStamp();
  const platform::files::FileRead read = platform::files::readFile(path, bytes, kMaxVaultSize);
  g_vault.readSize = read.size;
  switch (read.outcome) {
    case platform::files::FileRead::Outcome::Read: return std::monostate{};
    case platform::files::FileRead::Outcome::TooLarge:
      return ended(problem("Could not open", path,
                           "The file is " + sizeText(read.size) + "; Keyloft opens vaults up to 1 GiB."));
    case platform::files::FileRead::Outcome::OutOfMemory: return fatalOutOfMemory();
    case platform::files::FileRead::Outcome::Failed: break;
  }
  return ended(problem("Could not read", path, read.error));
}

namespace {

// Not memchr: the rest of a file without a line end is an empty view with no data pointer.
std::size_t countLineEnds(std::string_view bytes) {
  return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r'));
}

// Adds the entry lines of raw (scrambled) file bytes to the list; returns how many were added.
// Lines are found and split on the raw bytes, so each row is unshifted once, as it is copied. The
// first row that holds `selected` goes in selected.
std::int64_t addEntries(std::string_view raw, const Entry* selected = nullptr) {
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
    if (selected && Entry::of(rows.back()) == *selected) {
      platform::ListItems::markSelected(rows.back());
      selected = nullptr;
    }
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
  g_vault.sealed.createSealed = true;
  return true;
}

}  // namespace

Failure internal::fatalOutOfMemory() {
  return ended(problem("Could not open", vaultPath(),
                       "Not enough memory to read the vault (" + sizeText(g_vault.readSize) + ")."));
}

void setVaultHost(VaultHost* host) { g_vault.host = host; }

VaultHost& vaultHost() {
  static VaultHost idle;
  return g_vault.host ? *g_vault.host : idle;
}

std::string vaultPath() { return platform::files::programFolder() + platform::files::kPathSeparator + kFileName; }

Done ensureVaultFile(const std::string& path) {
  if (platform::fileListed(path)) return std::monostate{};
  switch (platform::files::pathKind(path)) {
    case platform::files::PathKind::RegularFile:  // there, though the folder can't be listed
      return std::monostate{};
    case platform::files::PathKind::NotRegularFile: return Failure{platform::files::kNotRegularFile};
    case platform::files::PathKind::LinkToNothing: return Failure{"A link to a missing file"};
    case platform::files::PathKind::Missing: break;
  }
  return platform::files::createFileExclusively(path, vault::kLineEnd);
}

std::string vaultLockPath() {
  const std::string runtime = platform::files::runtimeFolder();
  if (runtime.empty())
    return platform::files::programFolder() + platform::files::kPathSeparator + "." + kFileName + ".lock";
  // A lock beside a vault in a synced folder would be synced to every machine; one vault reached
  // through different links is still one lock.
  const std::string resolved = platform::files::resolvedPath(vaultPath());
  const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(resolved), QCryptographicHash::Sha256);
  return runtime + platform::files::kPathSeparator + "keyloft-" + hash.toHex().left(32).toStdString() + ".lock";
}

bool lockVault() {
  if (g_vault.locked) return true;
  const std::string lockPath = vaultLockPath();
  // Unavailable (a read-only folder) is no conflict: nothing can be saved there by anyone.
  const platform::files::LockResult lock = platform::files::lockForProcess(lockPath);
  if (lock == platform::files::LockResult::Unavailable)
    qCDebug(vaultLog) << "No lock could be taken at" << QString::fromStdString(lockPath) << "; opening unlocked";
  g_vault.locked = lock != platform::files::LockResult::Busy;
  return g_vault.locked;
}

platform::Result<bool> internal::takeInForCheck(platform::SecretBytes& bytes) {
  if (vault::sealed::isSealed(bytes)) {
    if (auto why = vault::sealed::headerProblem(bytes)) return Failure{*why};
    rememberSealed(true);
    g_vault.sealed.file = std::move(bytes);
    return true;
  }
  vault::LineReader lines(bytes.view());
  std::string_view first;
  lines.next(first);  // a file of zero bytes has no first line: no master password yet
  if (first.empty()) return false;
  storedMasterPassword = unshiftedText(first);
  return true;
}

namespace {

// Reads the vault and asks for the password: openVault without its guard. A failure has ended the
// program.
Done readAndAsk() {
  platform::SecretBytes bytes;
  // A missing file is created only once a new vault is wanted.
  const bool missing = platform::files::pathKind(vaultPath()) == platform::files::PathKind::Missing;
  if (!missing) {
    if (auto read = readVault(bytes); !read) return read;
  }
  // What can be told without the password ends the program now, the file left as it is.
  auto taken = takeInForCheck(bytes);
  if (!taken) return ended(problem("Could not open", vaultPath(), taken.why()));
  if (*taken) {
    askMasterPassword();
    return std::monostate{};
  }
  if (!confirmNewVaultIfItWasSealed()) return std::monostate{};
  if (missing) {
    if (auto read = readVault(bytes); !read) return read;
  }
  askNewMasterPassword();
  return std::monostate{};
}

}  // namespace

void openVault() {
  if (!lockVault()) {
    fatal(u16("Keyloft is already running with the vault " + vaultPath() +
              ".  Only one Keyloft at a time can use a vault."));
    return;
  }
  platform::files::removeStaleTemporaries(vaultPath());
  // The user has been told, and the program ends.
  if (auto opened = whileLoading(readAndAsk); !opened)
    qCDebug(vaultLog).noquote() << "Not opened:" << QString::fromStdString(opened.why());
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

// The new vault's file image written in place of data.enc: plain, or sealed when it replaces an
// encrypted one.
Done writeNewVault(const platform::SecretBytes& image) {
  if (!g_vault.sealed.createSealed) return platform::files::writeFileAtomically(vaultPath(), image);
  auto sealing = newVaultSealing();
  if (!sealing) {
    g_vault.sealed.keyMissing = sealing.why();
    return sealing.failure();
  }
  auto sealed = vault::sealed::seal(image, **sealing);
  Done written = sealed ? platform::files::writeFileAtomically(vaultPath(), *sealed) : Done(sealed.failure());
  // Saved or not, every later save seals with this key.
  g_vault.sealed.sealing = std::move(*sealing);
  if (written) rememberSealed(true);
  return written;
}

// createVault without its guard.
platform::Result<Created> writeFirstLine() {
  // Entry lines found under an empty first line are kept, byte for byte, and shown.
  platform::SecretBytes old;
  if (auto read = readVault(old); !read) return read.failure();
  vault::LineReader lines(old.view());
  std::string_view first;
  lines.next(first);
  std::string_view entries = lines.rest();

  platform::SecretBytes image = shiftedBytes(masterPassword);
  image.append(vault::kLineEnd);
  image.append(entries);
  const Done written = writeNewVault(image);
  if (written) noteVaultStamp();
  // The entry lines are in the file either way; shown only on success, the next save would drop them.
  addEntries(entries);
  if (!written) {
    status(problem("Could not save", kFileName, written.why()));
    return Created::NotWritten;
  }
  status(u"Password created successfully");
  return Created::Written;
}

}  // namespace

platform::Result<Created> createVault() { return whileLoading(writeFirstLine); }

std::int64_t addEntriesOf(std::string_view fileBytes) {
  vault::LineReader lines(fileBytes);
  std::string_view first;
  lines.next(first);  // the master password, not used here
  return addEntries(lines.rest());
}

std::int64_t internal::relist(std::string_view fileBytes, const Entry* selected) {
  platform::ListItems* list = entryList();
  if (!list) return 0;
  list->clear();
  vault::LineReader lines(fileBytes);
  std::string_view first;
  lines.next(first);
  return addEntries(lines.rest(), selected);
}

namespace {

// loadVault without its guard.
Done listEntries() {
  platform::SecretBytes bytes;
  if (g_vault.sealed.sealing) {
    bytes = std::move(g_vault.sealed.plain);  // opened by the password check
  } else if (auto read = readVault(bytes); !read) {
    return read;
  }
  std::int64_t count = addEntriesOf(bytes);
  status(u"Loaded " + u16(std::to_string(count)) + u" entries");
  return std::monostate{};
}

}  // namespace

Done loadVault() { return whileLoading(listEntries); }

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

Done saveVault() {
  Done written = writeList(g_vault.sealed.sealing.get());
  if (written) status(u"Saved " + savedTimeText());
  return written;
}

namespace {

// The list's file image, sealed with `sealing` or plain, written in place of the file at `path`.
Done writeImage(const std::string& path, const platform::ListItems& list, const vault::sealed::Sealing* sealing) {
  try {
    const platform::SecretBytes plain = savedImage(list);
    platform::Result<std::string> sealed = sealing ? vault::sealed::seal(plain, *sealing) : std::string();
    if (!sealed) return sealed.failure();
    if (auto file = ensureVaultFile(path); !file) return file;
    return platform::files::writeFileAtomically(path, sealing ? std::string_view(*sealed) : plain.view());
  } catch (const std::bad_alloc&) {
    // The whole image is built in memory before anything is written: the file is as it was.
    return Failure{"Not enough memory"};
  }
}

}  // namespace

Done internal::writeList(const vault::sealed::Sealing* sealing) {
  const BusyScope busy;
  // Without the rows there is nothing to save from: writing would replace every entry with none.
  const platform::ListItems* list = entryList();
  if (!list) return saidInStatus(problem("Could not save", kFileName, "The list of entries is not open"));
  const std::string path = vaultPath();
  // Under the vault's lock any temporary file beside it was left by a killed save of ours.
  if (g_vault.locked) platform::files::removeStaleTemporaries(path);
  if (!sealing && !g_vault.sealed.keyMissing.empty())
    return saidInStatus(problem("Could not save", kFileName, g_vault.sealed.keyMissing));
  Done written = writeImage(path, *list, sealing);
  if (!written) return saidInStatus(problem("Could not save", kFileName, written.why()));
  noteVaultStamp();
  if (sealing) {
    g_vault.sealed.keyMissing.clear();
    rememberSealed(true);
  }
  return written;
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
  masterPassword.wipe();
  storedMasterPassword.wipe();
  creatingMasterPassword = false;
  // The host is how the program is wired, not state of the run: it stays.
  VaultHost* host = g_vault.host;
  g_vault = {};
  g_vault.host = host;
}

}  // namespace modGlobals
