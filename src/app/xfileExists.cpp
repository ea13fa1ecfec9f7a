#include "xfileExists.h"

#include "platform/DirListing.h"
#include "platform/Files.h"

#include <algorithm>
#include <cctype>

namespace xfileExists {
namespace {

std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

}  // namespace

bool fileExists(const std::string& path) {
  std::string found;
  if (!platform::findFirstFile(path, found)) return false;
  return upper(found) == upper(stripPath(path));
}

std::string stripPath(const std::string& path) {
  std::string rest = path;
  for (;;) {
    auto cut = rest.find(platform::files::kPathSeparator);
    if (cut == std::string::npos) return rest;
    rest = rest.substr(cut + 1);
  }
}

}  // namespace xfileExists
