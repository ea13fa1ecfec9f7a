#include "Files.h"

#include "RunState.h"
#include "SystemCalls.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <exception>
#include <memory>
#include <mutex>
#include <vector>

namespace platform::files {
namespace {

std::string reason(int err) { return std::strerror(err); }

// An interrupted call did nothing and is made again.
template <class Body>
auto retried(Body body) {
  decltype(body()) r;
  do r = body();
  while (r < 0 && errno == EINTR);
  return r;
}

constexpr char kTemporaryInfix[] = ".tmp-";
constexpr std::size_t kTemporaryRandomChars = 6;  // mkstemp's XXXXXX

// A file-size limit (ulimit -f, a quota) would kill the process with SIGXFSZ in the middle of a
// save, and whatever the user had typed with it. Ignored, the write fails with EFBIG instead and
// the save reports it like any other failure.
void ignoreFileSizeSignal() {
  static std::once_flag once;
  std::call_once(once, [] { ::signal(SIGXFSZ, SIG_IGN); });
}

std::string folderOf(const std::string& path) {
  auto cut = path.rfind(kPathSeparator);
  if (cut == std::string::npos) return ".";
  if (cut == 0) return std::string(1, kPathSeparator);
  return path.substr(0, cut);
}

// Closes a descriptor on every path out of a function.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  int release() {
    int f = fd;
    fd = -1;
    return f;
  }
};

// The file a save replaces: the target of a symbolic link, so that the link stays a link.
std::string replacedFile(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}

bool writeAll(int fd, std::string_view bytes, int& err) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = retried([&] { return systemCalls().write(fd, bytes.data() + done, bytes.size() - done); });
    if (n < 0) {
      err = errno;
      return false;
    }
    // Nothing written for a non-empty request would repeat forever; the disk has no room.
    if (n == 0) {
      err = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool syncFd(int fd, int& err) {
  if (retried([&] { return systemCalls().syncFile(fd); }) == 0) return true;
  err = errno;
  return false;
}

// Once the rename is done the new content is in place and every reader sees it; the folder's fsync
// only makes the rename survive a power cut. Its failure is not a failed save: reported as one, the
// program would put back a list that no longer matches the file.
void syncFolder(const std::string& folder) {
  const int dfd = retried([&] { return systemCalls().openFolder(folder.c_str()); });
  if (dfd < 0) return;
  retried([&] { return systemCalls().syncFolder(dfd); });
  ::close(dfd);
}

// Writes `bytes` into a fresh temporary file beside `path`; returns its name or empty on failure.
std::string writeTemporary(const std::string& path, std::string_view bytes, mode_t mode, int& err) {
  ignoreFileSizeSignal();
  const std::string tmpl = path + kTemporaryInfix + std::string(kTemporaryRandomChars, 'X');
  std::vector<char> name;
  Fd f{retried([&] {
    name.assign(tmpl.begin(), tmpl.end());  // a failed mkstemp may leave the template changed
    name.push_back('\0');
    return systemCalls().createTemporary(name.data());
  })};
  if (f.fd < 0) {
    err = errno;
    return {};
  }
  std::string tmp(name.data());
  bool ok = retried([&] { return systemCalls().setMode(f.fd, mode); }) == 0 || (err = errno, false);
  ok = ok && writeAll(f.fd, bytes, err) && syncFd(f.fd, err);
  // An interrupted close has still closed the file (Linux), and its content is already synced.
  if (ok && systemCalls().close(f.release()) != 0 && errno != EINTR) {
    err = errno;
    ok = false;
  }
  if (!ok) {
    ::unlink(tmp.c_str());
    return {};
  }
  return tmp;
}

// Renames the finished temporary file into place; on failure removes it.
bool renameInto(const std::string& tmp, const std::string& path, int& err) {
  if (retried([&] { return systemCalls().rename(tmp.c_str(), path.c_str()); }) == 0) return true;
  err = errno;
  ::unlink(tmp.c_str());
  return false;
}

// FAT, exFAT and many network folders have no hard links.
bool hardLinksUnsupported(int err) { return err == EPERM || err == EOPNOTSUPP || err == ENOSYS; }

bool linkInto(const std::string& tmp, const std::string& path, int& err) {
  if (retried([&] { return systemCalls().link(tmp.c_str(), path.c_str()); }) == 0) return true;
  err = errno;
  return false;
}

// Without hard links: claim the name with an exclusive create, then rename the finished file over
// the empty claim. Only one creator can claim it, and a reader meets nothing, an empty file (no
// master password yet) or the whole content.
bool claimAndRenameInto(const std::string& tmp, const std::string& path, int& err) {
  const int claim = retried([&] { return systemCalls().claim(path.c_str()); });
  if (claim < 0) {
    err = errno;
    ::unlink(tmp.c_str());
    return false;
  }
  ::close(claim);
  if (renameInto(tmp, path, err)) return true;
  ::unlink(path.c_str());  // our own empty claim
  return false;
}

}  // namespace

std::string nameOf(const std::string& path) {
  auto cut = path.rfind(kPathSeparator);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string programFolder() {
  if (!baseRunState().programFolder.empty()) return baseRunState().programFolder;
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  return folderOf(std::string(buf, static_cast<std::size_t>(n)));
}

void setProgramFolderForTests(std::string folder) { baseRunState().programFolder = std::move(folder); }

FileRead readFile(const std::string& path, SecretBytes& bytes, std::uint64_t maxSize) {
  bytes = SecretBytes();  // lets the old buffer go before the new one is taken
  FileRead result;
  // Non-blocking, so that a FIFO put in the file's place can't hang the reader.
  Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  struct stat st {};
  if (f.fd < 0 || ::fstat(f.fd, &st) != 0) {
    result.error = reason(errno);
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.error = S_ISDIR(st.st_mode) ? reason(EISDIR) : std::string(kNotRegularFile);
    return result;
  }
  result.size = static_cast<std::uint64_t>(st.st_size);
  if (result.size > maxSize) {
    result.outcome = FileRead::Outcome::TooLarge;
    return result;
  }
  SecretBytes read;
  try {
    read.resize(static_cast<std::size_t>(result.size));
  } catch (const std::exception&) {  // bad_alloc, or length_error for a size no buffer can hold
    result.outcome = FileRead::Outcome::OutOfMemory;
    return result;
  }
  std::size_t done = 0;
  while (done < read.size()) {
    const ssize_t n = retried([&] { return ::read(f.fd, read.data() + done, read.size() - done); });
    if (n < 0) {
      result.error = reason(errno);
      return result;
    }
    if (n == 0) break;  // it shrank meanwhile: read to its end
    done += static_cast<std::size_t>(n);
  }
  // A byte more means it grew meanwhile: refused, as its end is not known and a bigger buffer
  // would copy the whole.
  char probe;
  if (const ssize_t more = done == read.size() ? retried([&] { return ::read(f.fd, &probe, 1); }) : 0; more != 0) {
    result.error = more < 0 ? reason(errno) : std::string(kGrewWhileRead);
    return result;
  }
  read.resize(done);
  bytes = std::move(read);
  result.outcome = FileRead::Outcome::Read;
  return result;
}

Result<std::monostate> writeFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = replacedFile(path);
  mode_t mode = 0600;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;
  int err = 0;
  std::string tmp = writeTemporary(target, bytes, mode, err);
  if (tmp.empty() || !renameInto(tmp, target, err)) return Failure{reason(err)};
  syncFolder(folderOf(target));
  return std::monostate{};
}

Result<std::monostate> createFileExclusively(const std::string& path, std::string_view bytes) {
  int err = 0;
  std::string tmp = writeTemporary(path, bytes, 0600, err);
  if (tmp.empty()) return Failure{reason(err)};
  // A hard link never replaces an existing name, unlike rename.
  bool ok = linkInto(tmp, path, err);
  if (ok || !hardLinksUnsupported(err)) {
    ::unlink(tmp.c_str());
  } else {
    ok = claimAndRenameInto(tmp, path, err);
  }
  if (!ok) return Failure{reason(err)};
  syncFolder(folderOf(path));
  return std::monostate{};
}

PathKind pathKind(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return S_ISREG(st.st_mode) ? PathKind::RegularFile : PathKind::NotRegularFile;
  if (::lstat(path.c_str(), &st) == 0) return S_ISLNK(st.st_mode) ? PathKind::LinkToNothing : PathKind::NotRegularFile;
  return PathKind::Missing;
}

void removeStaleTemporaries(const std::string& path) {
  const std::string target = replacedFile(path);
  const std::string prefix = nameOf(target) + kTemporaryInfix;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folderOf(target).c_str()), ::closedir);
  if (!dir) return;
  const int dfd = ::dirfd(dir.get());
  while (const dirent* e = ::readdir(dir.get())) {
    const std::string_view name = e->d_name;
    if (name.size() != prefix.size() + kTemporaryRandomChars || name.substr(0, prefix.size()) != prefix) continue;
    const std::string_view random = name.substr(prefix.size());
    if (!std::all_of(random.begin(), random.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
      continue;
    // Only plain files of ours: never a link, a folder or another user's file.
    struct stat st {};
    if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
      continue;
    ::unlinkat(dfd, e->d_name, 0);
  }
}

std::optional<FileStamp> fileStamp(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  const auto ns = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; };
  return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                   static_cast<std::uint64_t>(st.st_size), ns(st.st_mtim), ns(st.st_ctim)};
}

std::string resolvedPath(const std::string& path) {
  const auto real = [](const std::string& p) -> std::optional<std::string> {
    std::unique_ptr<char, decltype(&std::free)> r(::realpath(p.c_str(), nullptr), &std::free);
    if (!r) return std::nullopt;
    return std::string(r.get());
  };
  if (auto whole = real(path)) return *whole;
  const std::string folder = real(folderOf(path)).value_or(folderOf(path));
  return (folder == "/" ? "" : folder) + kPathSeparator + nameOf(path);
}

std::string realFolderOf(const std::string& path) { return folderOf(resolvedPath(path)); }

std::string runtimeFolder() {
  if (baseRunState().runtimeFolder) return *baseRunState().runtimeFolder;
  const char* env = std::getenv("XDG_RUNTIME_DIR");  // NOLINT(concurrency-mt-unsafe): read on the one thread
  struct stat st {};
  if (!env || env[0] != kPathSeparator || ::stat(env, &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  return env;
}

void setRuntimeFolderForTests(std::optional<std::string> folder) { baseRunState().runtimeFolder = std::move(folder); }

LockResult lockForProcess(const std::string& lockPath) {
  int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return LockResult::Unavailable;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    return err == EWOULDBLOCK ? LockResult::Busy : LockResult::Unavailable;
  }
  baseRunState().lockFds.push_back(fd);
  return LockResult::Held;
}

void releaseLocksForTests() {
  for (int fd : baseRunState().lockFds) ::close(fd);
  baseRunState().lockFds.clear();
}

}  // namespace platform::files
