#pragma once
// Numbers typed into the options dialog's edits, read as the C library's
// atoi and atof read them: leading blanks, an optional sign, as many digits
// as follow; text that does not start with a number reads as 0. Unlike
// atoi, values beyond the 32-bit range are clamped instead of being
// undefined.

#include <cstdint>
#include <string>

std::int32_t ParseLeadingInt(const std::string& text);
// Always with '.' as the decimal separator, whatever the locale.
double ParseLeadingDouble(const std::string& text);
// Kbps as typed, times 1024, clamped to the 32-bit range.
std::int32_t KbpsToBitsPerSecond(std::int32_t kbps);
