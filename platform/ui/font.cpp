#include "platform/ui/font.h"

#include <cstdlib>

#include "platform/text/utf8.h"

namespace ui {

bool Font::CreateFontIndirect(const LogFont& fields) {
  font_.reset();
  auto inRange = [](std::int64_t value, std::int64_t limit) { return std::llabs(value) <= limit; };
  if (!inRange(fields.lfHeight, kMaxFontPixels) || !inRange(fields.lfWidth, kMaxFontPixels) ||
      fields.lfWeight < 0 || fields.lfWeight > kMaxFontWeight)
    return false;
  LogFont created = fields;
  created.lfFaceName = text::TruncateUtf8(fields.lfFaceName, 31);
  font_ = created;
  return true;
}

}  // namespace ui
