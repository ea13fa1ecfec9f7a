#include "Files.h"

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
#include <memory>
#include <mutex>
#include <vector>

namespace platform::files {
namespace {

std::string g_programFolderOverride;
std::optional<WriteFault> g_fault;

std::vector<int> g_lockFds;

std::string reason(int err) { return std::strerror(err); }

constexpr char kTemporaryInfix[] = ".tmp-";
constexpr std::size_t kTemporaryRandomChars = 6;  // mkstemp's XXXXXX

// A file-size limit (ulimit -f, a quota) would kill the process with SIGXFSZ in the middle of a
// save, and whatever the user had typed with it. Ignored, the write fails with EFBIG instead and
// the save reports it like any other failure.
void ignoreFileSizeSignal() {
  static std::once_flag once;
  std::call_once(once, [] { ::signal(SIGXFSZ, SIG_IGN); });
}

std::string nameOf(const std::string& path) {
  auto cut = path.rfind(kPathSeparator);
  return cut == std::string::npos ? path : path.substr(cut + 1);
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
  std::size_t limit = bytes.size();
  bool inject = g_fault && g_fault->step == FaultStep::Write;
  if (inject) limit = std::min(limit, g_fault->bytesBeforeFailure);
  while (done < limit) {
    ssize_t n = ::write(fd, bytes.data() + done, limit - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (inject) {
    err = g_fault->error;
    return false;
  }
  return true;
}

bool syncFd(int fd, int& err) {
  if (g_fault && g_fault->step == FaultStep::Sync) {
    err = g_fault->error;
    return false;
  }
  if (::fsync(fd) != 0) {
    err = errno;
    return false;
  }
  return true;
}

void syncFolder(const std::string& folder) {
  // A failed folder sync cannot undo the rename; the content is already in place.
  int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

// Writes `bytes` into a fresh temporary file beside `path`; returns its name or empty on failure.
std::string writeTemporary(const std::string& path, std::string_view bytes, mode_t mode, int& err) {
  ignoreFileSizeSignal();
  std::string tmpl = path + kTemporaryInfix + std::string(kTemporaryRandomChars, 'X');
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  Fd f{::mkstemp(name.data())};
  if (f.fd < 0) {
    err = errno;
    return {};
  }
  std::string tmp(name.data());
  bool ok = ::fchmod(f.fd, mode) == 0 || (err = errno, false);
  ok = ok && writeAll(f.fd, bytes, err) && syncFd(f.fd, err);
  if (ok && ::close(f.release()) != 0) {
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
  if (g_fault && g_fault->step == FaultStep::Rename) {
    err = g_fault->error;
  } else if (::rename(tmp.c_str(), path.c_str()) == 0) {
    return true;
  } else {
    err = errno;
  }
  ::unlink(tmp.c_str());
  return false;
}

// FAT, exFAT and many network folders have no hard links.
bool hardLinksUnsupported(int err) { return err == EPERM || err == EOPNOTSUPP || err == ENOSYS; }

bool linkInto(const std::string& tmp, const std::string& path, int& err) {
  if (g_fault && g_fault->step == FaultStep::Link) {
    err = g_fault->error;
    return false;
  }
  if (::link(tmp.c_str(), path.c_str()) == 0) return true;
  err = errno;
  return false;
}

// Without hard links: claim the name with an exclusive create, then rename the finished file over
// the empty claim. Only one creator can claim it, and a reader meets nothing, an empty file (no
// master password yet) or the whole content.
bool claimAndRenameInto(const std::string& tmp, const std::string& path, int& err) {
  int claim = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
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

std::string programFolder() {
  if (!g_programFolderOverride.empty()) return g_programFolderOverride;
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  return folderOf(std::string(buf, static_cast<std::size_t>(n)));
}

void setProgramFolderForTests(std::string folder) { g_programFolderOverride = std::move(folder); }

bool readFile(const std::string& path, std::string& bytes, std::string& error) {
  // Non-blocking, so that a FIFO put in the file's place can't hang the reader.
  Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  if (f.fd < 0) {
    error = reason(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(f.fd, &st) != 0) {
    error = reason(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? reason(EISDIR) : std::string(kNotRegularFile);
    return false;
  }
  // Read in one go when the size is known; a file that grows meanwhile is read to its end.
  bytes.clear();
  std::size_t chunk = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : (1 << 16);
  for (;;) {
    std::size_t old = bytes.size();
    bytes.resize(old + chunk);
    ssize_t n = ::read(f.fd, bytes.data() + old, chunk);
    if (n < 0) {
      bytes.resize(old);
      if (errno == EINTR) continue;
      error = reason(errno);
      return false;
    }
    bytes.resize(old + static_cast<std::size_t>(n));
    if (n == 0) break;
    chunk = 1 << 16;
  }
  return true;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  const std::string target = replacedFile(path);
  mode_t mode = 0600;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;
  int err = 0;
  std::string tmp = writeTemporary(target, bytes, mode, err);
  if (tmp.empty() || !renameInto(tmp, target, err)) {
    error = reason(err);
    return false;
  }
  syncFolder(folderOf(target));
  return true;
}

bool createFileExclusively(const std::string& path, std::string_view bytes, std::string& error) {
  int err = 0;
  std::string tmp = writeTemporary(path, bytes, 0600, err);
  if (tmp.empty()) {
    error = reason(err);
    return false;
  }
  // A hard link never replaces an existing name, unlike rename.
  bool ok = linkInto(tmp, path, err);
  if (ok || !hardLinksUnsupported(err)) {
    ::unlink(tmp.c_str());
  } else {
    ok = claimAndRenameInto(tmp, path, err);
  }
  if (!ok) {
    error = reason(err);
    return false;
  }
  syncFolder(folderOf(path));
  return true;
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

LockResult lockForProcess(const std::string& lockPath) {
  int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return LockResult::Unavailable;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    return err == EWOULDBLOCK ? LockResult::Busy : LockResult::Unavailable;
  }
  g_lockFds.push_back(fd);
  return LockResult::Held;
}

void releaseLocksForTests() {
  for (int fd : g_lockFds) ::close(fd);
  g_lockFds.clear();
}

void setWriteFaultForTests(std::optional<WriteFault> fault) { g_fault = fault; }

}  // namespace platform::files
