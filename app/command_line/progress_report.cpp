#include "app/command_line/progress_report.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::string_view kTag = "progress";
constexpr std::string_view kUnknown = "-";

std::string Field(const std::optional<std::int64_t>& value) {
  return value ? std::to_string(*value) : std::string(kUnknown);
}

// The next blank-separated word of `rest`, which loses it.
std::string_view NextWord(std::string_view& rest) {
  const auto start = rest.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    rest = {};
    return {};
  }
  rest.remove_prefix(start);
  const auto end = std::min(rest.find(' '), rest.size());
  const std::string_view word = rest.substr(0, end);
  rest.remove_prefix(end);
  return word;
}

template <typename Number>
std::optional<Number> Whole(std::string_view word) {
  Number value{};
  const auto [ptr, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (word.empty() || error != std::errc() || ptr != word.data() + word.size()) return std::nullopt;
  return value;
}

// A position or duration: a number, or unknown. False when it is neither.
bool ReadTime(std::string_view word, std::optional<std::int64_t>& time) {
  if (word == kUnknown) return true;
  time = Whole<std::int64_t>(word);
  return time.has_value();
}

}  // namespace

std::string ProgressReportLine(const ProgressSnapshot& snapshot) {
  return std::string(kTag) + ' ' + std::to_string(snapshot.elapsedSeconds) + ' ' +
         Field(snapshot.position) + ' ' + Field(snapshot.duration);
}

std::optional<ProgressSnapshot> ReadProgressReport(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (NextWord(line) != kTag) return std::nullopt;
  ProgressSnapshot snapshot;
  const auto elapsed = Whole<std::int32_t>(NextWord(line));
  if (!elapsed) return std::nullopt;
  snapshot.elapsedSeconds = *elapsed;
  if (!ReadTime(NextWord(line), snapshot.position) || !ReadTime(NextWord(line), snapshot.duration))
    return std::nullopt;
  if (!NextWord(line).empty()) return std::nullopt;
  return snapshot;
}
