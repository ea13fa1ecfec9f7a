#include "DirListing.h"

#include "Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <cctype>
#include <memory>

namespace platform {

bool wildcardMatch(const std::string& pattern, const std::string& name) {
  // Only * and ? are wildcards here: a bracket becomes a one-character set holding itself, and
  // FNM_NOESCAPE keeps a backslash an ordinary character.
  std::string literalBrackets;
  literalBrackets.reserve(pattern.size());
  for (const char c : pattern) literalBrackets += c == '[' ? std::string("[[]") : std::string(1, c);
  return fnmatch(literalBrackets.c_str(), name.c_str(), FNM_NOESCAPE) == 0;
}

bool fileListed(const std::string& path) {
  const auto upper = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  };
  std::string found;
  if (!findFirstFile(path, found)) return false;
  return upper(found) == upper(files::nameOf(path));
}

bool findFirstFile(const std::string& path, std::string& name) {
  name.clear();
  auto cut = path.rfind(files::kPathSeparator);
  std::string folder = cut == std::string::npos ? "." : path.substr(0, cut == 0 ? 1 : cut);
  std::string pattern = cut == std::string::npos ? path : path.substr(cut + 1);
  // A folder path (ending in a separator) lists the folder's files.
  if (pattern.empty()) pattern.assign(1, '*');

  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return false;
  int dfd = ::dirfd(dir.get());
  while (const dirent* e = ::readdir(dir.get())) {
    std::string candidate = e->d_name;
    if (candidate.empty() || candidate[0] == '.') continue;
    if (!wildcardMatch(pattern, candidate)) continue;
    if (!name.empty() && candidate >= name) continue;
    struct stat st {};
    if (::fstatat(dfd, candidate.c_str(), &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
    name = candidate;
  }
  return true;
}

}  // namespace platform
