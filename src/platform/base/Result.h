#pragma once
// The outcome of an operation that can fail: its value, or the sentence that tells the user why
// there is none. Operations below the windows report failures this way and never throw.
#include <string>
#include <utility>
#include <variant>

namespace platform {

struct Failure {
  std::string why;  // a sentence for the user, without its closing full stop
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : outcome_(std::in_place_index<0>, std::move(value)) {}            // NOLINT: implicit by design
  Result(Failure failure) : outcome_(std::in_place_index<1>, std::move(failure)) {}  // NOLINT

  bool ok() const noexcept { return outcome_.index() == 0; }
  explicit operator bool() const noexcept { return ok(); }
  T& operator*() & { return std::get<0>(outcome_); }
  const T& operator*() const& { return std::get<0>(outcome_); }
  T&& operator*() && { return std::get<0>(std::move(outcome_)); }
  T* operator->() { return &std::get<0>(outcome_); }
  const T* operator->() const { return &std::get<0>(outcome_); }
  const std::string& why() const { return std::get<1>(outcome_).why; }
  // The failure as it stands, to be passed on as another Result's.
  const Failure& failure() const { return std::get<1>(outcome_); }

 private:
  std::variant<T, Failure> outcome_;
};

// An operation that gives nothing but its success.
using Done = Result<std::monostate>;

}  // namespace platform
