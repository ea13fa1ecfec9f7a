#pragma once
// The byte format of data.enc: lines of shifted code-page bytes, the first the master password,
// each further one an entry "user|||password|||location".
#include "vault/shiftText.h"

#include <array>
#include <string>
#include <string_view>

namespace vault {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kSeparator = "|||";

// Walks the lines of a file's bytes: a line ends at CR, and an LF right after that CR belongs to
// the line end; a lone LF and a 00 byte are content; the last line may lack its line end.
class LineReader {
 public:
  explicit LineReader(std::string_view bytes) : rest_(bytes) {}
  bool next(std::string_view& line);
  // The bytes not read yet.
  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
  bool done_ = false;
};

// The separator as it stands in the file, shifted.
inline constexpr std::string_view kShiftedSeparator = "\xFC\xFC\xFC";

// Splits an entry line at every separator from the left; pieces past the third are dropped and
// missing ones are empty. Works on plain lines, or on raw ones with the shifted separator.
std::array<std::string_view, 3> splitEntry(std::string_view line, std::string_view separator = kSeparator);

// True for an entry line that is skipped: raw text empty or a single space.
inline bool isSkippedLine(std::string_view raw) { return raw.empty() || raw == " "; }

// Appends one line, shifted, and its line end (to a std::string or a platform::SecretBytes).
template <class Bytes>
void appendShiftedLine(Bytes& out, std::string_view plain) {
  const std::size_t from = out.size();
  out.append(plain);
  shiftBytes(out.data() + from, plain.size());
  out.append(kLineEnd);
}

// Appends an entry line, shifted, and its line end.
template <class Bytes>
void appendShiftedEntry(Bytes& out, std::string_view user, std::string_view password, std::string_view location) {
  const std::size_t from = out.size();
  for (std::string_view part : {user, kSeparator, password, kSeparator, location}) out.append(part);
  shiftBytes(out.data() + from, out.size() - from);
  out.append(kLineEnd);
}

}  // namespace vault
