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

// Reads the whole file. On failure returns false and puts the system's reason in `error`.
bool readFile(const std::string& path, std::string& bytes, std::string& error);

// Replaces the file's content without ever risking the old one: writes a temporary file in the
// same folder, flushes and fsyncs it, renames it over `path` and fsyncs the folder. A new file is
// owner-only (0600); an existing one keeps its permissions. On failure the old bytes stay, the
// temporary file is removed, and `error` holds the system's reason.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// Creates `path` with `bytes` (owner-only) unless something of that name exists already, which
// it never replaces. Returns false with the reason when the file could not be created.
bool createFileExclusively(const std::string& path, std::string_view bytes, std::string& error);

// Test seam: makes the next writes fail at a chosen step with a chosen errno.
enum class FaultStep { Write, Sync, Rename };
struct WriteFault {
  FaultStep step = FaultStep::Write;
  std::size_t bytesBeforeFailure = 0;  // for FaultStep::Write: how much is written first
  int error = 0;
};
void setWriteFaultForTests(std::optional<WriteFault> fault);

}  // namespace platform::files
