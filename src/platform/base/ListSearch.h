#pragma once
// Finds a text in the rows of a list, in any of the three columns, as the Find window asks: in the
// list's current order, from the row after a given one, wrapping around once.
#include "ListItems.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class RowFinder {
 public:
  // `needle` in code-page bytes; without `matchCase` letters match in either case (accented
  // letters of the code page too).
  RowFinder(std::string_view needle, bool matchCase);

  bool matches(const ListRow& row) const;
  // The first row that matches after row `after` (0: from the top), then from the top up to and
  // including `after` itself; 0 when none does.
  std::int64_t next(const ListItems& items, std::int64_t after) const;

 private:
  bool foundIn(std::string_view text) const;

  const std::array<unsigned char, 256>& fold_;
  std::string needle_;  // folded
  std::array<std::uint32_t, 256> skip_{};
};

}  // namespace platform
