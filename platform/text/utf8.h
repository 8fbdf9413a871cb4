#pragma once
// UTF-8 helpers for the fixed-size text buffers of the system.

#include <string>

namespace text {

// The longest prefix of `text` of at most `maxBytes` bytes that does not end
// inside a multi-byte character.
std::string TruncateUtf8(const std::string& text, std::size_t maxBytes);

}  // namespace text
