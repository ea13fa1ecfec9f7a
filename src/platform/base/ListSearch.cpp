#include "ListSearch.h"

namespace platform {
namespace {

std::array<unsigned char, 256> identity() {
  std::array<unsigned char, 256> t{};
  for (int b = 0; b < 256; ++b) t[b] = static_cast<unsigned char>(b);
  return t;
}

// Upper-case letters of the code page (Windows-1252) to their lower-case partners.
std::array<unsigned char, 256> lowerCase() {
  std::array<unsigned char, 256> t = identity();
  for (int b = 'A'; b <= 'Z'; ++b) t[b] = static_cast<unsigned char>(b + 0x20);
  for (int b = 0xC0; b <= 0xDE; ++b)
    if (b != 0xD7) t[b] = static_cast<unsigned char>(b + 0x20);  // 0xD7 is the multiplication sign
  t[0x8A] = 0x9A;                                                // S caron
  t[0x8C] = 0x9C;                                                // OE
  t[0x8E] = 0x9E;                                                // Z caron
  t[0x9F] = 0xFF;                                                // Y diaeresis
  return t;
}

const std::array<unsigned char, 256> kIdentity = identity();
const std::array<unsigned char, 256> kLowerCase = lowerCase();

}  // namespace

RowFinder::RowFinder(std::string_view needle, bool matchCase) : fold_(matchCase ? kIdentity : kLowerCase) {
  needle_.reserve(needle.size());
  for (char c : needle) needle_.push_back(static_cast<char>(fold_[static_cast<unsigned char>(c)]));
  // Horspool's shifts: how far the window may move when its last byte is this one.
  const auto m = static_cast<std::uint32_t>(needle_.size());
  skip_.fill(m);
  for (std::uint32_t j = 0; j + 1 < m; ++j) skip_[static_cast<unsigned char>(needle_[j])] = m - 1 - j;
}

// Horspool over folded bytes: no allocation, and long stretches of a field are skipped unread.
bool RowFinder::foundIn(std::string_view text) const {
  const std::size_t m = needle_.size();
  if (m == 0) return true;
  if (text.size() < m) return false;
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto* n = reinterpret_cast<const unsigned char*>(needle_.data());
  const unsigned char last = n[m - 1];
  for (std::size_t pos = 0; pos + m <= text.size();) {
    const unsigned char c = fold_[t[pos + m - 1]];
    if (c == last) {
      std::size_t j = 0;
      while (j + 1 < m && fold_[t[pos + j]] == n[j]) ++j;
      if (j + 1 == m) return true;
    }
    pos += skip_[c];
  }
  return false;
}

bool RowFinder::matches(const ListRow& row) const {
  // Column by column: a match may not run from one field into the next.
  return foundIn(row.column(column::kUserName)) || foundIn(row.column(column::kPassword)) ||
         foundIn(row.column(column::kLocation));
}

std::int64_t RowFinder::next(const ListItems& items, std::int64_t after) const {
  const std::int64_t count = items.count();
  if (after < 0 || after > count) after = 0;
  for (std::int64_t n = after + 1; n <= count; ++n)
    if (matches(items.row(n))) return n;
  for (std::int64_t n = 1; n <= after; ++n)
    if (matches(items.row(n))) return n;
  return 0;
}

}  // namespace platform
