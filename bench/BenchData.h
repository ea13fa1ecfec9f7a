#pragma once
// Realistic entry texts for the benchmarks: code-page bytes with some Western-European accents.
#include "platform/base/ListItems.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace bench_data {

inline std::string field(std::mt19937& rng, std::size_t length) {
  static const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._-";
  static const char accents[] = {'\xE9', '\xE8', '\xE4', '\xF6', '\xFC', '\xE7', '\xF1', '\xDF', '\xE5'};
  std::string s;
  for (std::size_t i = 0; i < length; ++i) {
    if (rng() % 25 == 0)
      s.push_back(accents[rng() % sizeof accents]);
    else
      s.push_back(letters[rng() % letters.size()]);
  }
  return s;
}

// Replaces the list's rows with n entries of such texts, appended in one go.
inline void fillList(platform::ListItems& list, std::int64_t n) {
  list.clear();
  std::mt19937 rng(42);
  std::vector<platform::ListRow> rows;
  rows.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i)
    rows.push_back(list.makeRow(field(rng, 17 + rng() % 7), field(rng, 14 + rng() % 5),
                                "https://www." + field(rng, 20 + rng() % 10) + ".example.com/login"));
  list.appendRows(std::move(rows));
}

}  // namespace bench_data
