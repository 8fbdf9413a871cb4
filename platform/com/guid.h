#pragma once
// 128-bit identifiers of interfaces, classes, media types and categories.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct GUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::array<std::uint8_t, 8> Data4{};

  friend constexpr bool operator==(const GUID&, const GUID&) = default;

  // Parses the registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (either
  // case); nothing when the text has any other shape.
  static constexpr std::optional<GUID> TryParse(std::string_view text) noexcept {
    if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' ||
        text[14] != '-' || text[19] != '-' || text[24] != '-')
      return std::nullopt;
    bool ok = true;
    auto hex = [&](std::size_t pos, std::size_t digits) {
      std::uint64_t value = 0;
      for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[pos + i];
        int d = 0;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else ok = false;
        value = value * 16 + static_cast<std::uint64_t>(d);
      }
      return value;
    };
    GUID g;
    g.Data1 = static_cast<std::uint32_t>(hex(1, 8));
    g.Data2 = static_cast<std::uint16_t>(hex(10, 4));
    g.Data3 = static_cast<std::uint16_t>(hex(15, 4));
    g.Data4[0] = static_cast<std::uint8_t>(hex(20, 2));
    g.Data4[1] = static_cast<std::uint8_t>(hex(22, 2));
    for (std::size_t i = 0; i < 6; ++i)
      g.Data4[2 + i] = static_cast<std::uint8_t>(hex(25 + 2 * i, 2));
    if (!ok) return std::nullopt;
    return g;
  }

  // The same for literals: used in constant expressions, a malformed literal
  // fails to compile.
  static constexpr GUID Parse(std::string_view text) {
    const std::optional<GUID> parsed = TryParse(text);
    if (!parsed) throw "malformed GUID literal";
    return *parsed;
  }

  // The registry form, upper-case hexadecimal, with braces.
  std::string ToString() const;
};

using IID = GUID;
using CLSID = GUID;

constexpr GUID GUID_NULL{};
