#include "options/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();

std::size_t SkipBlanks(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                             text[i] == '\r' || text[i] == '\v' || text[i] == '\f'))
    ++i;
  return i;
}

}  // namespace

std::int32_t ParseLeadingInt(const std::string& text) {
  std::size_t i = SkipBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kMax + 1) value = kMax + 1;  // stays beyond the range; clamped below
  }
  if (negative) value = -value;
  return static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
}

double ParseLeadingDouble(const std::string& text) {
  std::size_t i = SkipBlanks(text);
  if (i < text.size() && text[i] == '+') ++i;
  double value = 0;
  const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                      std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) return 0;
  if (result.ec != std::errc() || !std::isfinite(value)) return 0;
  return value;
}

std::int32_t KbpsToBitsPerSecond(std::int32_t kbps) {
  return static_cast<std::int32_t>(std::clamp(static_cast<std::int64_t>(kbps) * 1024, kMin, kMax));
}
