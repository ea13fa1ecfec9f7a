#pragma once
// Realistic entry texts for the benchmarks: code-page bytes with some Western-European accents.
#include <random>
#include <string>

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

}  // namespace bench_data
