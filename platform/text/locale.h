#pragma once
// The locale settings a language load makes: the C library's locale for the
// process, and the thread's locale as a Windows locale identifier.

#include <cstdint>
#include <string>

namespace text {

using LCID = std::uint32_t;

// The user's default locale; what a thread has until it is set.
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

// A locale identifier from a language identifier, with the default sort order.
constexpr LCID MAKELCID(std::uint16_t langId) { return langId; }

// The calling thread's locale. Nothing here formats by it; it is kept so that
// the language identifier of the loaded language can be asked for.
void SetThreadLocale(LCID locale);
LCID GetThreadLocale();

// Sets the C library's locale for every category but the numeric one, which
// is never touched (numbers stay "C"). The Windows locale strings a language
// names ("english", "chs", "deu") name no C locale on this platform, and a
// look-alike alias could switch the character set away from UTF-8, so the
// user's own locale (from the environment) is used whatever the string.
// Returns the locale name the library took (for all categories).
std::string SetProcessLocale(const std::string& windowsLocaleString);

// Numbers are read and written the English way ("C") whatever the language.
// Called once at start-up, before any thread formats a number (the toolkit
// sets the user's locale for every category when it starts).
void UseEnglishNumbers();

}  // namespace text
