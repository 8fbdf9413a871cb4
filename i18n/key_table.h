#pragma once
// The keys a language file may hold, in the order the loader reads them,
// each bound to the text id that windows and callers ask for.

#include <cstdint>
#include <span>
#include <string_view>

enum class TextSection { Menu, String, Dialog };

struct LanguageKey {
  const char* key;
  std::int32_t id;
};

// Every key, in reading order. Three keys stand twice and feed two ids each.
std::span<const LanguageKey> LanguageKeys();

// The section a key is read from, by its first three letters: "IDS" from
// STRING, "IDM" from MENU, "IDD" and "IDC" from DIALOG.
TextSection SectionOfKey(std::string_view key);

// The section's name in a language file.
const char* SectionName(TextSection section);
