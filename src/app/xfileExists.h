#pragma once
// Whether a file exists, by the listing of its name, and the file-name part of a path.
#include <string>

namespace xfileExists {

// True when the first ordinary, non-hidden file matching the path's name equals that name,
// compared in upper case. Any error of the file system answers false.
bool fileExists(const std::string& path);

// The part of the path after its last directory separator.
std::string stripPath(const std::string& path);

}  // namespace xfileExists
