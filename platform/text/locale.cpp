#include "platform/text/locale.h"

#include <clocale>

namespace text {

namespace {
thread_local LCID threadLocale = LOCALE_USER_DEFAULT;
}

void SetThreadLocale(LCID locale) { threadLocale = locale; }

LCID GetThreadLocale() { return threadLocale; }

std::string SetProcessLocale(const std::string& /*windowsLocaleString*/) {
  const char* taken = std::setlocale(LC_ALL, "");
  // An environment naming a locale that is not installed leaves the current
  // one in place.
  if (!taken) taken = std::setlocale(LC_ALL, nullptr);
  return taken ? taken : "";
}

void UseEnglishNumbers() { std::setlocale(LC_NUMERIC, "C"); }

}  // namespace text
