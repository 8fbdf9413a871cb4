#pragma once
// How this folder says what it could not do: an operation gives back its
// value, or the reason in words (a sentence a caller may show or pass on).
// The shape of C++23's std::expected<T, std::string>, which C++20 lacks.
//
//   Result<ElementPtr> queue = MakeElement("queue");
//   if (!queue) return queue.reason();   // hands the reason on
//   Use(std::move(*queue));

#include <optional>
#include <string>
#include <utility>

namespace gst {

// Why an operation failed, returned where a Result of any type is expected.
struct Reason {
  std::string text;
};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(Reason why) : text_(std::move(why.text)) {}

  bool has_value() const { return value_.has_value(); }
  explicit operator bool() const { return has_value(); }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }

  // Why there is no value; empty when there is one.
  const std::string& error() const { return text_; }
  // The same reason, to return from an operation of another result type.
  Reason reason() const { return Reason{text_}; }

 private:
  std::optional<T> value_;
  std::string text_;
};

// Done, or the reason why not.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Reason why) : failed_(true), text_(std::move(why.text)) {}

  bool has_value() const { return !failed_; }
  explicit operator bool() const { return has_value(); }
  const std::string& error() const { return text_; }
  Reason reason() const { return Reason{text_}; }

 private:
  bool failed_ = false;
  std::string text_;
};

}  // namespace gst
