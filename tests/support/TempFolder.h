#pragma once
// A fresh temporary folder per test, removed afterwards, and the test helpers that use it.
#include <functional>
#include <string>
#include <string_view>

namespace testing_support {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

std::string readBytes(const std::string& path);
// Permission bits of a file, and how many entries a folder holds.
int fileMode(const std::string& path);
std::size_t entryCount(const std::string& folder);
void writeBytes(const std::string& path, std::string_view bytes);

// Runs `body` in a forked child; returns its exit code, or 128 + the signal that killed it.
int runInChild(const std::function<int()>& body);

// Runs `body` in a child process without root's privileges (when the tests run as root), so that
// file permissions apply; returns the child's exit code (255 when it could not be run).
int runUnprivileged(const std::function<int()>& body);

// Runs `body` in a child process with a tmpfs of `bytes` mounted on the empty folder `mountPoint`
// (in a mount namespace of its own, so nothing outside sees it). Returns the child's exit code, or
// kNoTinyDisk when this machine lets no test mount one.
inline constexpr int kNoTinyDisk = 77;
int runOnTinyDisk(const std::string& mountPoint, std::size_t bytes, const std::function<int()>& body);

}  // namespace testing_support
