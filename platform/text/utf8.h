#pragma once
// UTF-8 helpers for the fixed-size text buffers of the system.

#include <string>
#include <string_view>

namespace text {

// The longest prefix of `text` of at most `maxBytes` bytes that does not end
// inside a multi-byte character.
std::string TruncateUtf8(const std::string& text, std::size_t maxBytes);

// `text` as a terminal may show it: each byte that is not part of a valid
// UTF-8 character, and each control character but the line end and the tab,
// is written as \xHH; the rest stays as it is.
std::string EscapedForTerminal(std::string_view text);

}  // namespace text
