#include "VaultFormat.h"

#include "shiftText.h"

#include <cstring>

namespace vault {

bool LineReader::next(std::string_view& line) {
  if (done_) return false;
  if (rest_.empty()) {
    done_ = true;
    return false;
  }
  const void* at = std::memchr(rest_.data(), '\r', rest_.size());
  if (!at) {
    line = rest_;
    rest_ = {};
    done_ = true;
    return true;
  }
  std::size_t cut = static_cast<const char*>(at) - rest_.data();
  line = rest_.substr(0, cut);
  std::size_t skip = cut + 1;
  if (skip < rest_.size() && rest_[skip] == '\n') ++skip;
  rest_ = rest_.substr(skip);
  return true;
}

std::array<std::string_view, 3> splitEntry(std::string_view line, std::string_view separator) {
  std::array<std::string_view, 3> pieces{};
  for (std::size_t i = 0; i < 3; ++i) {
    auto cut = line.find(separator);
    if (cut == std::string_view::npos) {
      pieces[i] = line;
      break;
    }
    pieces[i] = line.substr(0, cut);
    line = line.substr(cut + separator.size());
  }
  return pieces;
}

}  // namespace vault
