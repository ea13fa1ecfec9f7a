#pragma once
// The byte images a vault file must hold, built by hand (not with the vault's own code).
#include <array>
#include <string>
#include <vector>

namespace testing_support {

// Flips the top bit of every byte, as the vault scrambles lines.
inline std::string flip(std::string s) {
  for (auto& c : s) c = static_cast<char>(c ^ 0x80);
  return s;
}

using Entry = std::array<std::string, 3>;  // code-page bytes: user, password, location

// A saved vault: each line flipped, CR LF after each, one empty line at the end.
inline std::string vaultImage(const std::string& master, const std::vector<Entry>& entries) {
  std::string image = flip(master) + "\r\n";
  for (const auto& e : entries) image += flip(e[0] + "|||" + e[1] + "|||" + e[2]) + "\r\n";
  return image + "\r\n";
}

}  // namespace testing_support
