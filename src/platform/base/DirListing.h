#pragma once
// The one-name directory listing: the first ordinary file whose name matches a pattern.
#include <string>

namespace platform {

// Lists the folder part of `path` for the pattern in its last component ("*" and "?" are
// wildcards; letter case counts, as on the host file system). Only regular files are found;
// a name beginning with "." is hidden and skipped. Answers the bare name of the first match in
// name order, or an empty text when nothing matches. Returns false when the folder can't be read.
bool findFirstFile(const std::string& path, std::string& name);

// True when the first file the listing finds for the path's name is that very name, compared in
// upper case. Any error of the file system answers false.
bool fileListed(const std::string& path);

// "*" matches any run of characters, "?" any one character; everything else matches itself.
bool wildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace platform
