#include "TempFolder.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <sstream>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

TempFolder::TempFolder() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "keyloft-test-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
  ::chmod(path_.c_str(), 0755);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
    std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  ::chmod(path_.c_str(), 0755);
  std::filesystem::remove_all(path_, ec);
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int fileMode(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return static_cast<int>(st.st_mode & 07777);
}

std::size_t entryCount(const std::string& folder) {
  std::size_t n = 0;
  for (auto& e : std::filesystem::directory_iterator(folder)) (void)e, ++n;
  return n;
}

void writeBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int runInChild(const std::function<int()>& body) {
  pid_t pid = ::fork();
  if (pid < 0) return 255;
  if (pid == 0) ::_exit(body());
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return 255;
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

int runUnprivileged(const std::function<int()>& body) {
  const int code = runInChild([&body] {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 254;
    return body();
  });
  return code > 128 ? 255 : code;
}

namespace {

bool writeText(const char* path, const std::string& text) {
  const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  return ok;
}

// A mount namespace of our own; without the privilege for it, a user namespace grants it.
bool ownMountNamespace() {
  if (::unshare(CLONE_NEWNS) == 0) return true;
  const uid_t uid = ::geteuid();
  const gid_t gid = ::getegid();
  if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
  return writeText("/proc/self/setgroups", "deny") &&
         writeText("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1") &&
         writeText("/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1");
}

}  // namespace

int runOnTinyDisk(const std::string& mountPoint, std::size_t bytes, const std::function<int()>& body) {
  return runInChild([&] {
    if (!ownMountNamespace()) return kNoTinyDisk;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return kNoTinyDisk;
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) return kNoTinyDisk;
    return body();
  });
}

}  // namespace testing_support
