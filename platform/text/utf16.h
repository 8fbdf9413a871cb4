#pragma once
// Decoding of UTF-16 little-endian text into UTF-8.

#include <string>
#include <string_view>

namespace text {

// Decodes UTF-16LE bytes (without their byte-order mark) into UTF-8. An
// unpaired surrogate becomes U+FFFD, as the platform's converter does; an odd
// trailing byte is dropped.
std::string Utf16LeToUtf8(std::string_view bytes);

// Appends the UTF-8 form of one code point (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace text
