#pragma once
// The fields of a logical font as the system stores them. A negative height
// is the character height in pixels; weights use the 100-900 scale.

#include <cstdint>
#include <string>

namespace ui {

struct LogFont {
  std::int32_t lfHeight = 0;
  std::int32_t lfWidth = 0;
  std::int32_t lfEscapement = 0;
  std::int32_t lfOrientation = 0;
  std::int32_t lfWeight = 0;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfStrikeOut = 0;
  std::uint8_t lfCharSet = 0;
  std::uint8_t lfOutPrecision = 0;
  std::uint8_t lfClipPrecision = 0;
  std::uint8_t lfQuality = 0;
  std::uint8_t lfPitchAndFamily = 0;
  std::string lfFaceName;  // at most 31 bytes

  friend bool operator==(const LogFont&, const LogFont&) = default;
};

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;

}  // namespace ui
