#include "platform/text/locale.h"

#include <clocale>

namespace text {

namespace {

thread_local LCID threadLocale = LOCALE_USER_DEFAULT;

// Every category of the C library's locale but the numeric one. Encoder
// threads format and read numbers while a language is switched, so the
// numeric category is never set from the user's locale, not even for a
// moment: it stays "C" from start-up on.
constexpr int kUserCategories[] = {
    LC_CTYPE, LC_COLLATE, LC_TIME,    LC_MONETARY,  LC_MESSAGES,
#ifdef LC_PAPER
    LC_PAPER, LC_NAME,    LC_ADDRESS, LC_TELEPHONE, LC_MEASUREMENT, LC_IDENTIFICATION,
#endif
};

}  // namespace

void SetThreadLocale(LCID locale) { threadLocale = locale; }

LCID GetThreadLocale() { return threadLocale; }

std::string SetProcessLocale(const std::string& /*windowsLocaleString*/) {
  // An environment naming a locale that is not installed leaves that
  // category as it was.
  for (const int category : kUserCategories) std::setlocale(category, "");
  const char* taken = std::setlocale(LC_ALL, nullptr);
  return taken ? taken : "";
}

void UseEnglishNumbers() { std::setlocale(LC_NUMERIC, "C"); }

}  // namespace text
