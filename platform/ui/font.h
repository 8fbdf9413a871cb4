#pragma once
// A created font: holds the fields of at most one font at a time, as a font
// object owns one font handle. Windows are given it through SetFont.

#include <optional>

#include "platform/ui/log_font.h"

namespace ui {

// The largest height or width, in pixels, and weight a font may have. A
// stored value beyond them is damage, not a choice anybody made.
constexpr int kMaxFontPixels = 1000;
constexpr int kMaxFontWeight = 1000;

class Font {
 public:
  // Creates the font the fields describe, replacing any held one. False, and
  // no font held, when the fields describe no font that can be shown.
  bool CreateFontIndirect(const LogFont& fields);
  void DeleteObject() { font_.reset(); }
  bool IsCreated() const { return font_.has_value(); }
  // The fields of the held font; nothing when none is held.
  std::optional<LogFont> GetLogFont() const { return font_; }

 private:
  std::optional<LogFont> font_;
};

}  // namespace ui
