#pragma once
// What every import source shares: each row it offers is counted or kept, once, against the vault.
#include "Import.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_set>

namespace transfer::internal {

class Planner {
 public:
  explicit Planner(const platform::ListItems& existing);
  Planner(const Planner&) = delete;
  Planner& operator=(const Planner&) = delete;

  // One row's user name, password and location, as UTF-8 (a CSV's) or code-page bytes (a vault's).
  void offerUtf8(std::int64_t row, const std::array<std::string_view, 3>& fields);
  void offerCodePage(std::int64_t row, const std::array<std::string_view, 3>& fields);
  ImportPlan take() { return std::move(plan_); }

 private:
  // An entry of the vault (below 0: row -ref) or of the plan (from 0: its index).
  using Ref = std::int64_t;
  std::array<std::string_view, 3> texts(Ref ref) const;
  struct Hash {
    const Planner* planner;
    std::size_t operator()(Ref ref) const;
  };
  struct Same {
    const Planner* planner;
    bool operator()(Ref a, Ref b) const { return planner->texts(a) == planner->texts(b); }
  };

  void unstorable(std::int64_t row);

  const platform::ListItems& existing_;
  std::array<platform::SecretBytes, 3> bytes_;  // one row's texts in the code page, reused row to row
  ImportPlan plan_;
  std::unordered_set<Ref, Hash, Same> seen_;
};

}  // namespace transfer::internal
