#include "ImportPlanner.h"

#include "platform/base/CodePage.h"
#include "vault/StorableText.h"

#include <functional>

namespace column = platform::column;

namespace transfer::internal {
namespace {

// UTF-8 to code-page bytes; false for bytes that are not UTF-8 or a character the code page lacks.
bool toCodePage(std::string_view utf8, platform::SecretBytes& out) {
  // A buffer grown by a long field is let go (wiped) rather than wiped whole for every later row.
  if (out.size() > 4096)
    out = platform::SecretBytes();
  else
    out.wipe();
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 0;
    if (length == 0 || i + length > utf8.size()) return false;  // 4-byte characters lie past the code page
    char32_t ch = length == 1 ? lead : length == 2 ? (lead & 0x1F) : (lead & 0x0F);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next >> 6) != 0x2) return false;
      ch = (ch << 6) | (next & 0x3F);
    }
    // Overlong forms and surrogates are not UTF-8.
    if ((length == 2 && ch < 0x80) || (length == 3 && (ch < 0x800 || (ch >= 0xD800 && ch <= 0xDFFF)))) return false;
    unsigned char byte = 0;
    if (!platform::codepage::toByte(static_cast<char16_t>(ch), byte)) return false;
    out.push_back(static_cast<char>(byte));
    i += length;
  }
  return true;
}

}  // namespace

Planner::Planner(const platform::ListItems& existing) : existing_(existing), seen_(0, Hash{this}, Same{this}) {
  seen_.reserve(static_cast<std::size_t>(existing.count()));
  for (std::int64_t number = 1; number <= existing.count(); ++number) seen_.insert(-number);
}

std::array<std::string_view, 3> Planner::texts(Ref ref) const {
  if (ref >= 0) return plan_.entries.entry(static_cast<std::size_t>(ref));
  const platform::ListRow& row = existing_.row(-ref);
  return {row.column(column::kUserName), row.column(column::kPassword), row.column(column::kLocation)};
}

std::size_t Planner::Hash::operator()(Ref ref) const {
  std::size_t hash = 0;
  for (std::string_view text : planner->texts(ref)) hash = hash * 1000003u ^ std::hash<std::string_view>{}(text);
  return hash;
}

void Planner::unstorable(std::int64_t row) {
  ++plan_.unstorable;
  plan_.unstorableRows.push_back(row);
}

void Planner::offerUtf8(std::int64_t row, const std::array<std::string_view, 3>& fields) {
  if (fields[column::kPassword].empty()) {
    ++plan_.withoutPassword;
    return;
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!toCodePage(fields[i], bytes_[i])) {
      unstorable(row);
      return;
    }
  }
  offerCodePage(row, {bytes_[0].view(), bytes_[1].view(), bytes_[2].view()});
}

void Planner::offerCodePage(std::int64_t row, const std::array<std::string_view, 3>& fields) {
  if (fields[column::kPassword].empty()) {
    ++plan_.withoutPassword;
    return;
  }
  if (vault::firstUnstorableField(fields)) {
    unstorable(row);
    return;
  }
  plan_.entries.add(fields[0], fields[1], fields[2]);
  const auto added = static_cast<Ref>(plan_.entries.count() - 1);
  if (!seen_.insert(added).second) {
    ++plan_.alreadyThere;
    // Taken back out of the batch: the last entry's texts are at its end.
    const std::size_t from = added == 0 ? 0 : plan_.entries.ends[static_cast<std::size_t>(added) - 1][2];
    plan_.entries.ends.pop_back();
    plan_.entries.texts.resize(from);
  }
}

}  // namespace transfer::internal
