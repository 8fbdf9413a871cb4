#include "i18n/language_name.h"

#include "i18n/locale_table.h"
#include "platform/text/ascii_case.h"

LanguageEncoding EncodingOfName(std::string_view name) {
  const std::string lowered = text::AsciiLower(name);
  if (lowered.find("_utf-8") != std::string::npos) return kEncodingUtf8;
  if (lowered.find("_unicode") != std::string::npos) return kEncodingUnicode;
  return kEncodingNone;
}

std::string LanguagePartOfName(std::string_view name) {
  std::string part = text::AsciiLower(name);
  std::size_t markerLength = 0;
  switch (EncodingOfName(name)) {
    case kEncodingUtf8:
      markerLength = 6;
      break;
    case kEncodingUnicode:
      markerLength = 8;
      break;
    case kEncodingNone:
      break;
  }
  // A name holding the marker is at least as long as the marker.
  part.erase(part.size() - markerLength);
  return part;
}

std::optional<LocaleIdentity> IdentifyLocale(std::string_view languagePart) {
  if (languagePart == "english") return LocaleIdentity{"english", 9, 1};
  for (const LocaleRow& row : LocaleTable()) {
    const std::string abbreviation = text::AsciiLower(row.abbreviation);
    if (languagePart == text::AsciiLower(row.fullName) || languagePart == abbreviation)
      return LocaleIdentity{abbreviation, row.langId & 0x3FF, row.langId >> 10};
  }
  return std::nullopt;
}
