#pragma once
// What a language file's name says: its encoding marker and its language
// part, which identifies a locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The marker values kept in CLanguage::m_nEncoding.
enum LanguageEncoding : std::int32_t {
  kEncodingNone = 0,
  kEncodingUnicode = 1,
  kEncodingUtf8 = 2,
};

// "_utf-8" anywhere in the name (letter case ignored) marks UTF-8, else
// "_unicode" marks Unicode.
LanguageEncoding EncodingOfName(std::string_view name);

// The lower-cased name less the marker's length (6 bytes for UTF-8, 8 for
// Unicode), cut from its end wherever the marker stood.
std::string LanguagePartOfName(std::string_view name);

struct LocaleIdentity {
  std::string localeString;  // "english" or a lower-case abbreviation
  std::int32_t primaryLanguage = 9;
  std::int32_t subLanguage = 1;
};

// "english", or the first locale row whose full name or abbreviation equals
// the language part in lower case; nothing when none does.
std::optional<LocaleIdentity> IdentifyLocale(std::string_view languagePart);
