#pragma once
// Byte-exact file access for the vault, and the program's own folder.
#include <optional>
#include <string>
#include <string_view>

namespace platform::files {

// The directory separator of the host; paths are formed with it.
inline constexpr char kPathSeparator = '/';

// The folder that holds the executable (no separator at its end).
std::string programFolder();
// Tests point the program's folder elsewhere; an empty text restores the real one.
void setProgramFolderForTests(std::string folder);

// The reason given for a path that holds something other than a regular file.
inline constexpr char kNotRegularFile[] = "Not a regular file";

// Reads the whole regular file. On failure returns false and puts the system's reason in `error`.
bool readFile(const std::string& path, std::string& bytes, std::string& error);

// Replaces the file's content without ever risking the old one: writes a temporary file in the
// same folder, flushes and fsyncs it, renames it over `path` and fsyncs the folder. A new file is
// owner-only (0600); an existing one keeps its permissions. When `path` is a symbolic link the
// file it leads to is replaced and the link stays. On failure the old bytes stay, the temporary
// file is removed, and `error` holds the system's reason.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// Creates `path` with `bytes` (owner-only) unless something of that name exists already, which
// it never replaces. Returns false with the reason when the file could not be created.
bool createFileExclusively(const std::string& path, std::string_view bytes, std::string& error);

// What stands at `path`, following symbolic links.
enum class PathKind { Missing, RegularFile, NotRegularFile, LinkToNothing };
PathKind pathKind(const std::string& path);

// Removes what a killed save of `path` left behind: our own temporary files beside the file
// (beside the link's target, for a link). Nothing else is touched.
void removeStaleTemporaries(const std::string& path);

// Holds an exclusive lock on `lockPath` for the rest of the process (the kernel lets it go when
// the process ends, however it ends). Busy means another process holds it; Unavailable means no
// lock could be taken here at all (a read-only folder, say).
enum class LockResult { Held, Busy, Unavailable };
LockResult lockForProcess(const std::string& lockPath);
// Lets go of every lock taken by lockForProcess (tests).
void releaseLocksForTests();

// Test seam: makes the next writes fail at a chosen step with a chosen errno. Link stands for the
// hard link of an exclusive create, as file systems without hard links refuse it.
enum class FaultStep { Write, Sync, Rename, Link };
struct WriteFault {
  FaultStep step = FaultStep::Write;
  std::size_t bytesBeforeFailure = 0;  // for FaultStep::Write: how much is written first
  int error = 0;
};
void setWriteFaultForTests(std::optional<WriteFault> fault);

}  // namespace platform::files
