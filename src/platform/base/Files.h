#pragma once
// Byte-exact file access for the vault, and the program's own folder.
#include "Result.h"
#include "Secret.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform::files {

// The directory separator of the host; paths are formed with it.
inline constexpr char kPathSeparator = '/';

// The part of the path after its last directory separator.
std::string nameOf(const std::string& path);

// The folder that holds the executable (no separator at its end).
std::string programFolder();
// Tests point the program's folder elsewhere; an empty text restores the real one.
void setProgramFolderForTests(std::string folder);

// The reason given for a path that holds something other than a regular file.
inline constexpr char kNotRegularFile[] = "Not a regular file";

// How a whole-file read ended. `size` is the file's size when it was opened (0 when it could not
// be); `error` holds the reason of a failed read.
struct FileRead {
  enum class Outcome { Read, Failed, TooLarge, OutOfMemory };
  Outcome outcome = Outcome::Failed;
  std::uint64_t size = 0;
  std::string error;
  explicit operator bool() const { return outcome == Outcome::Read; }
};

// The reason given for a file that grew while it was read: where it ends is not known.
inline constexpr char kGrewWhileRead[] = "The file grew while it was read";

// Reads the whole regular file into one buffer of the size it has when opened. A file over
// `maxSize` is not read (TooLarge), nor one whose buffer can't be had (OutOfMemory); one that grows
// meanwhile is refused. `bytes` is empty after any outcome but Read.
FileRead readFile(const std::string& path, SecretBytes& bytes,
                  std::uint64_t maxSize = std::numeric_limits<std::uint64_t>::max());

// Replaces the file's content without ever risking the old one: writes a temporary file in the
// same folder, flushes and fsyncs it, renames it over `path` and fsyncs the folder. A new file is
// owner-only (0600); an existing one keeps its permissions. When `path` is a symbolic link the
// file it leads to is replaced and the link stays. On failure the old bytes stay, the temporary
// file is removed, and the failure holds the system's reason. An interrupted call (EINTR) is made
// again. Once the rename is done the save has succeeded: a failing fsync of the folder after it
// can't take the new content back, so it is not reported as a failed save.
Result<std::monostate> writeFileAtomically(const std::string& path, std::string_view bytes);

// Creates `path` with `bytes` (owner-only) unless something of that name exists already, which
// it never replaces. A failure holds the reason the file could not be created.
Result<std::monostate> createFileExclusively(const std::string& path, std::string_view bytes);

// What stands at `path`, following symbolic links.
enum class PathKind { Missing, RegularFile, NotRegularFile, LinkToNothing };
PathKind pathKind(const std::string& path);

// Removes what a killed save of `path` left behind: our own temporary files beside the file
// (beside the link's target, for a link). Nothing else is touched.
void removeStaleTemporaries(const std::string& path);

// What stat says of the file a path leads to (links followed): equal stamps mean the file was
// neither replaced nor written in between, to the nanosecond.
struct FileStamp {
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modifiedNs = 0, changedNs = 0;
  bool operator==(const FileStamp&) const = default;
};
// Nothing when nothing can be stat'ed there.
std::optional<FileStamp> fileStamp(const std::string& path);

// The path with every link resolved; for a missing file, its folder's resolved path and its name.
std::string resolvedPath(const std::string& path);
// The folder `path`'s real file lies in (a link's target's folder).
std::string realFolderOf(const std::string& path);

// The user's runtime folder ($XDG_RUNTIME_DIR, when it names a folder), or empty without one.
std::string runtimeFolder();
// Tests name their own runtime folder (empty: none); nothing puts back $XDG_RUNTIME_DIR.
void setRuntimeFolderForTests(std::optional<std::string> folder);

// Holds an exclusive lock on `lockPath` for the rest of the process (the kernel lets it go when
// the process ends, however it ends). Busy means another process holds it; Unavailable means no
// lock could be taken here at all (a read-only folder, say).
enum class LockResult { Held, Busy, Unavailable };
LockResult lockForProcess(const std::string& lockPath);
// Lets go of every lock taken by lockForProcess (tests).
void releaseLocksForTests();

// Test seam over every system call a save or an exclusive create makes. Each call goes through one
// table of functions; a test swaps in a table that logs the calls and fails the chosen ones.
enum class Call {
  CreateTemporary,  // mkstemp beside the target
  SetMode,          // fchmod of the temporary file
  Write,            // each write(2) of the content
  SyncFile,         // fsync of the temporary file
  Close,            // close of the temporary file
  Rename,           // the temporary file over the target
  OpenFolder,       // open of the folder, for its fsync
  SyncFolder,       // fsync of the folder
  Link,             // hard link of an exclusive create
  Claim,            // O_EXCL create that claims the name where there are no hard links
};
const char* callName(Call call);

struct CallFault {
  Call call = Call::Write;
  int occurrence = 1;  // which call of that kind (1 = the first; 0 = every one, a disk that stays full)
  int error = 0;       // the errno it fails with; 0 for a Write: a short write of shortWrite bytes
  std::size_t shortWrite = 0;
};
// Logs every call from now on and fails the ones listed; an empty list only logs.
void setCallFaultsForTests(std::vector<CallFault> faults);
// Back to the plain system calls, nothing logged.
void clearCallFaultsForTests();
// The calls made since setCallFaultsForTests, in order.
std::vector<Call> loggedCallsForTests();
// The folders opened for their fsync since setCallFaultsForTests, in order: which folder a save
// made durable is not visible in the calls alone.
std::vector<std::string> syncedFoldersForTests();

}  // namespace platform::files
