// A vault in a synced folder: data.enc is read again when another machine's save replaced it,
// before every change and while the list is open, and the conflicting copies that sync programs
// leave beside it can be merged.
#include "platform/base/Files.h"
#include "shiftText.h"
#include "vault/EntryChange.h"
#include "vault/modGlobals.h"
#include "VaultFormat.h"
#include "VaultInternals.h"

#include <QCoreApplication>
#include <QFileSystemWatcher>
#include <QRegularExpression>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <new>
#include <unordered_set>

namespace modGlobals {
namespace {

using namespace internal;
namespace files = platform::files;
namespace sealed = vault::sealed;
using platform::Failure;
using platform::Result;

constexpr char16_t kRefused[] = u"Not saved: data.enc now needs its new master password.  Restart Keyloft.";
constexpr char kRefusedWhy[] = "data.enc now needs its new master password";
constexpr char16_t kConflictTitle[] = u"Conflicting Copy";
// Sync programs write a file and rename it in several steps: the watch waits for them to settle.
constexpr int kSettleMs = 300;

// What a file in data.enc's place, or beside it, opened to with this run's key or master password.
struct Opened {
  enum class How { Read, OtherPassword, Unreadable };
  How how = How::Unreadable;
  platform::SecretBytes plain;
  std::string why;                              // why it is unreadable
  std::unique_ptr<sealed::Sealing> newSealing;  // encrypted again elsewhere, with a new salt
};

Opened unreadable(std::string why) {
  Opened o;
  o.why = std::move(why);
  return o;
}

Opened openWithKey(platform::SecretBytes bytes) {
  Opened o;
  if (sealed::isSealed(bytes)) {
    if (auto problem = sealed::headerProblem(bytes)) return unreadable(*problem);
    auto opened = g_vault.sealed.sealing ? sealed::open(bytes, *g_vault.sealed.sealing)
                                         : Result<platform::SecretBytes>(platform::Failure{"No key"});
    if (opened) {
      o.plain = std::move(*opened);
    } else {
      // Not this key: another salt, perhaps another password. The master password tells.
      auto unlocked = unlockWith(bytes, masterPassword);
      if (!unlocked) return unreadable(unlocked.why());
      if (!*unlocked) {
        o.how = Opened::How::OtherPassword;
        return o;
      }
      auto key = std::make_unique<sealed::Sealing>(std::move(**unlocked));
      auto reopened = sealed::open(bytes, *key);
      if (!reopened) return unreadable(reopened.why());
      o.plain = std::move(*reopened);
      if (!g_vault.sealed.sealing || key->salt != g_vault.sealed.sealing->salt) o.newSealing = std::move(key);
    }
  } else {
    o.plain = std::move(bytes);
  }
  vault::LineReader lines(o.plain.view());
  std::string_view first;
  if (!lines.next(first) || first.empty()) return unreadable("It holds no master password");
  if (!(unshiftedText(first) == masterPassword)) {
    o.plain = {};
    o.how = Opened::How::OtherPassword;
    return o;
  }
  o.how = Opened::How::Read;
  return o;
}

Opened openFile(const std::string& path) {
  try {
    platform::SecretBytes bytes;
    const files::FileRead read = files::readFile(path, bytes, kMaxVaultSize);
    switch (read.outcome) {
      case files::FileRead::Outcome::Read: return openWithKey(std::move(bytes));
      case files::FileRead::Outcome::TooLarge: return unreadable("It is larger than the 1 GiB Keyloft opens");
      case files::FileRead::Outcome::OutOfMemory: break;
      case files::FileRead::Outcome::Failed: return unreadable(read.error);
    }
  } catch (const std::bad_alloc&) {
  }
  return unreadable("Not enough memory to read it");
}

std::string copyPath(const std::string& fileName) {
  return files::realFolderOf(vaultPath()) + files::kPathSeparator + fileName;
}

// An entry's three texts, as views into the list's storage or a copy's.
using Texts = std::array<std::string_view, 3>;
struct TextsHash {
  std::size_t operator()(const Texts& t) const {
    const std::hash<std::string_view> h;
    return h(t[0]) ^ (h(t[1]) * 31) ^ (h(t[2]) * 961);
  }
};

void offerConflictingCopies() {
  for (const std::string& name : conflictingCopies()) {
    if (std::find(g_vault.sync.offered.begin(), g_vault.sync.offered.end(), name) != g_vault.sync.offered.end())
      continue;
    g_vault.sync.offered.push_back(name);
    const std::u16string left = u"A sync program left another version of your vault: " + u16(name) + u".  ";
    if (openFile(copyPath(name)).how != Opened::How::Read) {
      vaultHost().tell(kConflictTitle,
                       left + u"Keyloft cannot open it with the current master password and leaves it as it is.");
      continue;
    }
    // The box lets events run: another machine may have merged and removed the copy meanwhile.
    if (vaultHost().askYesNo(kConflictTitle, left + u"Merge its entries into data.enc?") &&
        files::pathKind(copyPath(name)) != files::PathKind::Missing)
      (void)mergeConflictingCopy(name);  // says in the status bar how it went
  }
}

void watchPaths() {
  const std::string file = files::resolvedPath(vaultPath());
  // A file renamed over is a new file: the watch on the old one is gone, so it is added again.
  for (const std::string& path : {file, files::realFolderOf(vaultPath())}) {
    const QString p = QString::fromStdString(path);
    if (!g_vault.sync.watcher->files().contains(p) && !g_vault.sync.watcher->directories().contains(p))
      g_vault.sync.watcher->addPath(p);
  }
}

}  // namespace

void internal::noteVaultStamp() { g_vault.sync.stamp = files::fileStamp(vaultPath()); }

bool vaultChangedOnDisk() { return files::fileStamp(vaultPath()) != g_vault.sync.stamp; }

Result<std::int64_t> reloadVault() {
  if (g_vault.sync.needsNewPassword) return Failure{kRefusedWhy};
  if (!entryList()) return Failure{"The list of entries is not open"};
  // Taken before the read: a change while it reads shows at the next look.
  const std::optional<files::FileStamp> stamp = files::fileStamp(vaultPath());
  Opened opened = openFile(vaultPath());
  if (opened.how == Opened::How::OtherPassword) {
    g_vault.sync.needsNewPassword = true;
    vaultHost().tell(u"Vault Changed",
                     u"data.enc was changed on another machine and now opens with a different master password.  "
                     u"Keyloft keeps the list as it was; restart Keyloft and enter the new password to see the "
                     u"changes.");
    return Failure{kRefusedWhy};
  }
  // Said once for this file; the next save writes the list as it stands, which repairs it.
  g_vault.sync.stamp = stamp;
  if (opened.how == Opened::How::Unreadable) {
    status(u"data.enc changed on disk but cannot be read: " + u16(opened.why) + u".  The list is kept.");
    return Failure{opened.why};
  }
  if (opened.newSealing) {
    g_vault.sealed.sealing = std::move(opened.newSealing);
    rememberSealed(true);
  }
  const platform::ListItems& list = *entryList();
  std::optional<Entry> selected;
  if (const std::int64_t n = list.firstSelected()) selected = Entry::of(list.row(n));
  return whileLoading(
      [&]() -> Result<std::int64_t> { return relist(opened.plain.view(), selected ? &*selected : nullptr); });
}

Result<bool> internal::catchUp() {
  if (!g_vault.sync.needsNewPassword) {
    if (!vaultChangedOnDisk()) return false;
    if (reloadVault()) return true;
    if (!g_vault.sync.needsNewPassword) return false;  // unreadable: the save writes the list as it stands
  }
  status(kRefused);
  return Failure{kRefusedWhy};
}

void vaultFolderChanged() {
  if (g_vault.sync.busy) {
    if (g_vault.sync.settle) g_vault.sync.settle->start();
    return;
  }
  g_vault.sync.busy = true;
  // While locked nothing is listed and no key is held: the unlock reads the file as it is then.
  if (!g_vault.sync.needsNewPassword && entryList() && !closedForLock()) {
    if (vaultChangedOnDisk()) {
      if (auto count = reloadVault())
        status(u"data.enc changed on disk.  Loaded " + u16(std::to_string(*count)) + u" entries.");
    }
    if (!g_vault.sync.needsNewPassword) offerConflictingCopies();
  }
  g_vault.sync.busy = false;
}

void watchVaultFile() {
  if (!QCoreApplication::instance()) return;
  if (!g_vault.sync.watcher) {
    g_vault.sync.settle = std::make_unique<QTimer>();
    g_vault.sync.settle->setSingleShot(true);
    g_vault.sync.settle->setInterval(kSettleMs);
    g_vault.sync.watcher = std::make_unique<QFileSystemWatcher>();
    QTimer* settle = g_vault.sync.settle.get();
    QObject::connect(g_vault.sync.watcher.get(), &QFileSystemWatcher::fileChanged, settle,
                     [settle] { settle->start(); });
    QObject::connect(g_vault.sync.watcher.get(), &QFileSystemWatcher::directoryChanged, settle,
                     [settle] { settle->start(); });
    QObject::connect(settle, &QTimer::timeout, settle, [] {
      watchPaths();
      vaultFolderChanged();
    });
  }
  watchPaths();
  // Copies left while Keyloft was closed are offered once the window is up.
  g_vault.sync.settle->start();
}

bool isConflictingCopyName(std::string_view fileName) {
  // Syncthing: data.sync-conflict-20240131-101530-ABCDEFG.enc; Nextcloud and ownCloud:
  // data (conflicted copy 2024-01-31 101530).enc; Dropbox: data (Ann's conflicted copy 2024-01-31).enc.
  static const QRegularExpression pattern(
      QStringLiteral("^data(?:\\.sync-conflict-\\d{8}-\\d{6}-[A-Z0-9]{7}| \\((?:.+['\u2019]s )?conflicted copy "
                     ".+\\))\\.enc$"));
  return pattern.match(QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size()))).hasMatch();
}

std::vector<std::string> conflictingCopies() {
  std::vector<std::string> names;
  std::error_code error;
  namespace fs = std::filesystem;
  for (fs::directory_iterator it(files::realFolderOf(vaultPath()), error), end; !error && it != end;
       it.increment(error)) {
    std::string name = it->path().filename().string();
    if (isConflictingCopyName(name) && it->is_regular_file(error)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

Result<std::int64_t> mergeConflictingCopy(const std::string& fileName) {
  const std::string path = copyPath(fileName);
  const Opened copy = openFile(path);
  if (copy.how != Opened::How::Read) {
    const std::string why = copy.how == Opened::How::Unreadable ? copy.why
                                                                : "The current master password does not open it";
    status(u16("Could not merge " + fileName + ": " + why + "."));
    return Failure{why};
  }
  if (!entryList()) return Failure{"The list of entries is not open"};
  if (auto fresh = catchUp(); !fresh) return Failure{fresh.why()};
  platform::ListItems& list = *entryList();
  // Views into the list's storage, which keeps every text until the list is cleared.
  std::unordered_set<Texts, TextsHash> have;
  have.reserve(static_cast<std::size_t>(list.count()));
  for (std::int64_t n = 1; n <= list.count(); ++n) {
    const platform::ListRow& r = list.row(n);
    have.insert({r.column(0), r.column(1), r.column(2)});
  }
  std::vector<std::uint64_t> added;
  vault::LineReader lines(copy.plain.view());
  std::string_view line;
  lines.next(line);  // the master password
  while (lines.next(line)) {
    if (vault::isSkippedLine(line)) continue;
    const auto piece = vault::splitEntry(line, vault::kShiftedSeparator);
    std::array<platform::SecretBytes, 3> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      texts[i] = piece[i];
      shiftBytes(texts[i].data(), texts[i].size());
    }
    if (have.count({texts[0].view(), texts[1].view(), texts[2].view()})) continue;
    const platform::ListRow& r = list.row(list.add(texts[0].view(), texts[1].view(), texts[2].view()));
    added.push_back(r.key());
    have.insert({r.column(0), r.column(1), r.column(2)});
  }
  if (!added.empty() && !writeList(g_vault.sealed.sealing.get())) {
    for (std::uint64_t key : added) list.remove(list.findKey(key));
    return Failure{"Could not save " + std::string(kFileName)};
  }
  // Only now, with every entry of it saved, may the copy go.
  std::error_code error;
  if (!std::filesystem::remove(path, error))
    qCDebug(vaultLog) << "The merged copy could not be removed:" << QString::fromStdString(error.message());
  const auto count = static_cast<std::int64_t>(added.size());
  status(u"Merged " + u16(std::to_string(count)) + u" entries from " + u16(fileName) + u".  Data saved.");
  return count;
}

}  // namespace modGlobals
