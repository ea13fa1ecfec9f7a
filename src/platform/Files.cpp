#include "Files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <vector>

namespace platform::files {
namespace {

std::string g_programFolderOverride;
std::optional<WriteFault> g_fault;

std::string reason(int err) { return std::strerror(err); }

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
  std::string tmpl = path + ".tmp-XXXXXX";
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
  Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (f.fd < 0) {
    error = reason(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(f.fd, &st) != 0) {
    error = reason(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    error = reason(EISDIR);
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
  mode_t mode = 0600;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  int err = 0;
  std::string tmp = writeTemporary(path, bytes, mode, err);
  if (tmp.empty()) {
    error = reason(err);
    return false;
  }
  if (g_fault && g_fault->step == FaultStep::Rename) {
    ::unlink(tmp.c_str());
    error = reason(g_fault->error);
    return false;
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    err = errno;
    ::unlink(tmp.c_str());
    error = reason(err);
    return false;
  }
  syncFolder(folderOf(path));
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
  bool ok = ::link(tmp.c_str(), path.c_str()) == 0;
  if (!ok) err = errno;
  ::unlink(tmp.c_str());
  if (!ok) {
    error = reason(err);
    return false;
  }
  syncFolder(folderOf(path));
  return true;
}

void setWriteFaultForTests(std::optional<WriteFault> fault) { g_fault = fault; }

}  // namespace platform::files
