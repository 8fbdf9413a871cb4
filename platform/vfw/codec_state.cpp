#include "platform/vfw/codec_state.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

namespace vfw {

namespace {

using property::PropertyDescription;
using property::PropertyValue;
using Kind = PropertyDescription::Kind;

std::string Header(const std::string& codecName) { return "RCVFW1 " + codecName + "\n"; }

// The longest value text of a kind: 20 digits and a sign for 64-bit whole
// numbers, 24 characters for the shortest round-trip form of a double.
std::size_t ValueCapacity(Kind kind) {
  switch (kind) {
    case Kind::Boolean:
      return 1;
    case Kind::Integer:
    case Kind::Unsigned:
    case Kind::Enum:
    case Kind::Flags:
      return 21;
    case Kind::Double:
      return 24;
    case Kind::Text:
      return kStateTextCapacity;
  }
  return 0;
}

std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

std::optional<std::string> Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    if (text[i] == '\\') out += '\\';
    else if (text[i] == 'n') out += '\n';
    else return std::nullopt;
  }
  return out;
}

template <typename T>
std::string NumberText(T value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

template <typename T>
std::optional<T> ParseNumber(std::string_view text) {
  T value{};
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
  return value;
}

// The value as written in the state, or none when the value does not suit
// its kind or does not fit.
std::optional<std::string> ValueText(Kind kind, const PropertyValue& value) {
  std::string text;
  if (kind == Kind::Boolean) {
    const auto* v = std::get_if<bool>(&value);
    if (!v) return std::nullopt;
    text = std::string(*v ? "1" : "0");
  } else if (kind == Kind::Unsigned) {
    const auto* v = std::get_if<std::uint64_t>(&value);
    if (!v) return std::nullopt;
    text = NumberText(*v);
  } else if (kind == Kind::Double) {
    const auto* v = std::get_if<double>(&value);
    if (!v) return std::nullopt;
    text = NumberText(*v);
  } else if (kind == Kind::Text) {
    const auto* v = std::get_if<std::string>(&value);
    if (!v) return std::nullopt;
    text = Escape(*v);
  } else {
    const auto* v = std::get_if<std::int64_t>(&value);
    if (!v) return std::nullopt;
    text = NumberText(*v);
  }
  if (text.size() > ValueCapacity(kind)) return std::nullopt;
  return text;
}

std::optional<PropertyValue> ParseValue(Kind kind, std::string_view text) {
  switch (kind) {
    case Kind::Boolean:
      if (text == "0" || text == "1") return PropertyValue(text == "1");
      return std::nullopt;
    case Kind::Unsigned:
      if (auto v = ParseNumber<std::uint64_t>(text)) return PropertyValue(*v);
      return std::nullopt;
    case Kind::Double:
      if (auto v = ParseNumber<double>(text)) return PropertyValue(*v);
      return std::nullopt;
    case Kind::Text:
      if (auto v = Unescape(text)) return PropertyValue(std::move(*v));
      return std::nullopt;
    default:
      if (auto v = ParseNumber<std::int64_t>(text)) return PropertyValue(*v);
      return std::nullopt;
  }
}

// The "name=value" lines of a state, checked against the settings; none
// when any line is out of order.
std::optional<std::vector<std::pair<std::string, PropertyValue>>> ParseLines(
    std::string_view body, const std::vector<PropertyDescription>& described) {
  std::map<std::string, Kind, std::less<>> kinds;
  for (const auto& d : described) kinds.emplace(d.name, d.kind);
  std::vector<std::pair<std::string, PropertyValue>> values;
  while (!body.empty()) {
    const auto end = body.find('\n');
    if (end == std::string_view::npos) return std::nullopt;  // every line ends
    const std::string_view line = body.substr(0, end);
    body.remove_prefix(end + 1);
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view name = line.substr(0, equals);
    const auto kind = kinds.find(name);
    if (kind == kinds.end()) return std::nullopt;
    auto value = ParseValue(kind->second, line.substr(equals + 1));
    if (!value) return std::nullopt;
    values.emplace_back(std::string(name), std::move(*value));
  }
  return values;
}

}  // namespace

std::size_t StateSize(const std::string& codecName, const property::PropertySet& settings) {
  const auto described = settings.Describe();
  if (described.empty()) return 0;
  std::size_t size = Header(codecName).size() + 1;  // and the closing zero byte
  for (const auto& d : described) size += d.name.size() + 2 + ValueCapacity(d.kind);
  return size;
}

bool WriteState(const std::string& codecName, const property::PropertySet& settings,
                std::span<std::uint8_t> block) {
  const std::size_t size = StateSize(codecName, settings);
  if (size == 0 || block.size() < size) return false;
  std::string text = Header(codecName);
  for (const auto& d : settings.Describe()) {
    if (auto value = ValueText(d.kind, settings.Get(d.name))) text += d.name + "=" + *value + "\n";
  }
  std::fill(block.begin(), block.end(), std::uint8_t{0});
  std::copy(text.begin(), text.end(), block.begin());
  return true;
}

std::vector<std::uint8_t> SaveState(const std::string& codecName,
                                    const property::PropertySet& settings) {
  std::vector<std::uint8_t> block(StateSize(codecName, settings));
  if (!WriteState(codecName, settings, block)) block.clear();
  return block;
}

bool ReadState(const std::string& codecName, property::PropertySet& settings,
               std::span<const std::uint8_t> block) {
  const auto zero = std::find(block.begin(), block.end(), std::uint8_t{0});
  const std::string text(block.begin(), zero);
  const std::string header = Header(codecName);
  if (text.compare(0, header.size(), header) != 0) return false;
  const auto values = ParseLines(std::string_view(text).substr(header.size()), settings.Describe());
  if (!values) return false;

  // All or nothing: a value the codec refuses puts back what was set.
  std::vector<std::pair<std::string, PropertyValue>> previous;
  for (const auto& [name, value] : *values) {
    PropertyValue before = settings.Get(name);
    if (!settings.Set(name, value)) {
      for (auto it = previous.rbegin(); it != previous.rend(); ++it)
        settings.Set(it->first, it->second);
      return false;
    }
    previous.emplace_back(name, std::move(before));
  }
  return true;
}

bool StateBoundSettings::Set(const std::string& name, const property::PropertyValue& value) {
  if (const auto* text = std::get_if<std::string>(&value))
    if (Escape(*text).size() > kStateTextCapacity) return false;
  return settings_.Set(name, value);
}

}  // namespace vfw
