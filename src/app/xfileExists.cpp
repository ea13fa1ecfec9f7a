#include "xfileExists.h"

#include "platform/base/DirListing.h"
#include "platform/base/Files.h"

namespace xfileExists {

// Both are the file layer's own: the vault, below every window, asks it directly.
bool fileExists(const std::string& path) { return platform::fileListed(path); }

std::string stripPath(const std::string& path) { return platform::files::nameOf(path); }

}  // namespace xfileExists
