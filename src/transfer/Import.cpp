// Which source a file is, and the box texts of an import.
#include "Import.h"
#include "ImportPlanner.h"

#include "vault/shiftText.h"
#include "vault/VaultFormat.h"

#include <optional>

namespace transfer {
namespace internal {
std::optional<std::string> readCsv(std::string_view bytes, Planner& planner);
}  // namespace internal

namespace {

// A plain vault: a master password line and entry lines, each holding the shifted separator, all
// ending in CR LF. Its first line is shifted, so it has bytes of the upper half where a CSV header
// has none.
bool isPlainVault(std::string_view bytes) {
  if (bytes.size() < 2 || bytes.substr(bytes.size() - 2) != vault::kLineEnd) return false;
  vault::LineReader lines(bytes);
  std::string_view line;
  if (!lines.next(line) || line.empty()) return false;
  if (std::none_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
    return false;
  while (lines.next(line))
    if (!vault::isSkippedLine(line) && line.find(vault::kShiftedSeparator) == std::string_view::npos) return false;
  return true;
}

void offerVaultEntries(std::string_view bytes, internal::Planner& planner) {
  vault::LineReader lines(bytes);
  std::string_view line;
  lines.next(line);  // the master password
  std::int64_t row = 0;
  platform::SecretBytes plain;
  while (lines.next(line)) {
    ++row;
    if (vault::isSkippedLine(line)) continue;
    plain.assign(line);
    shiftBytes(plain.data(), plain.size());
    const auto pieces = vault::splitEntry(plain.view());
    planner.offerCodePage(row, pieces);
  }
}

std::string count(std::int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "  7 rows are left out: 4 without a password, 2 already in your vault, 1 with characters
// Keyloft cannot store (rows 17)." or nothing when every row is taken.
std::string leftOutText(const ImportPlan& plan) {
  if (plan.leftOut() == 0) return {};
  std::string text = "  " + count(plan.leftOut(), "row is", "rows are") + " left out: ";
  std::string parts;
  const auto part = [&](std::int64_t n, const std::string& what) {
    if (n == 0) return;
    if (!parts.empty()) parts += ", ";
    parts += std::to_string(n) + " " + what;
  };
  part(plan.withoutPassword, "without a password");
  part(plan.alreadyThere, "already in your vault");
  if (plan.unstorable > 0) {
    // The rows are named so that the user can mend them; a long list is cut short.
    constexpr std::size_t kNamed = 10;
    std::string rows = plan.unstorableRows.size() == 1 ? "row " : "rows ";
    for (std::size_t i = 0; i < plan.unstorableRows.size() && i < kNamed; ++i)
      rows += (i ? ", " : "") + std::to_string(plan.unstorableRows[i]);
    if (plan.unstorableRows.size() > kNamed) rows += ", ...";
    part(plan.unstorable, "with characters Keyloft cannot store (" + rows + ")");
  }
  return text + parts + ".";
}

}  // namespace

platform::Result<ImportPlan> planImport(std::string_view fileBytes, const platform::ListItems& existing) {
  internal::Planner planner(existing);
  if (auto problem = internal::readCsv(fileBytes, planner)) {
    if (!isPlainVault(fileBytes)) return platform::Failure{*problem};
    internal::Planner fromVault(existing);
    offerVaultEntries(fileBytes, fromVault);
    return fromVault.take();
  }
  return planner.take();
}

std::string importQuestion(const ImportPlan& plan, const std::string& fileName) {
  return "Import " + count(static_cast<std::int64_t>(plan.entries.count()), "entry", "entries") + " from " + fileName +
         "?" + leftOutText(plan);
}

std::string nothingToImport(const ImportPlan& plan, const std::string& fileName) {
  return fileName + " holds no entries to import." + leftOutText(plan);
}

}  // namespace transfer
