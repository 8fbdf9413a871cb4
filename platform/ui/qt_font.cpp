#include "platform/ui/qt_font.h"

#include <QFontInfo>
#include <algorithm>
#include <cmath>

#include "platform/text/utf8.h"

namespace ui {

QFont ToQFont(const LogFont& font) {
  QFont result;
  if (!font.lfFaceName.empty()) result.setFamily(QString::fromStdString(font.lfFaceName));
  // A negative height is the character height in pixels; a positive one the
  // cell height, of which the character takes about four fifths.
  if (font.lfHeight < 0) result.setPixelSize(std::clamp(-font.lfHeight, 1, 4096));
  else if (font.lfHeight > 0) result.setPixelSize(std::clamp(font.lfHeight * 4 / 5, 1, 4096));
  if (font.lfWeight > 0)
    result.setWeight(static_cast<QFont::Weight>(std::clamp(font.lfWeight, 1, 1000)));
  result.setItalic(font.lfItalic != 0);
  result.setUnderline(font.lfUnderline != 0);
  result.setStrikeOut(font.lfStrikeOut != 0);
  return result;
}

LogFont FromQFont(const QFont& font, const LogFont& base) {
  LogFont result = base;
  int pixels = font.pixelSize();
  if (pixels <= 0) {
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    pixels = static_cast<int>(std::lround(points * 96.0 / 72.0));
  }
  result.lfHeight = -std::max(pixels, 1);
  result.lfWeight = static_cast<int>(font.weight());
  result.lfItalic = font.italic() ? 1 : 0;
  result.lfUnderline = font.underline() ? 1 : 0;
  result.lfStrikeOut = font.strikeOut() ? 1 : 0;
  result.lfFaceName = text::TruncateUtf8(font.family().toStdString(), 31);
  return result;
}

}  // namespace ui
