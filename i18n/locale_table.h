#pragma once
// The locales a language file's name may identify: a Windows language
// identifier (primary language in the low 10 bits, sublanguage in the high 6),
// a full name (language and country in English, words joined by underscores)
// and a three-letter abbreviation.

#include <cstdint>
#include <span>

struct LocaleRow {
  const char* fullName;
  const char* abbreviation;
  std::uint16_t langId;
};

// All 273 rows, in their fixed order.
std::span<const LocaleRow> LocaleTable();
