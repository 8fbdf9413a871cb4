#pragma once
// Letter case of ASCII letters only. The program's 8-bit text is UTF-8, whose
// multibyte sequences never contain an ASCII byte, so these are safe on it and
// leave every other letter as it is.

#include <string>
#include <string_view>

namespace text {

char AsciiLower(char c);
std::string AsciiLower(std::string_view s);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace text
