#pragma once
// Readable texts for result codes.

#include <cstddef>
#include <string>

#include "platform/com/hresult.h"

// The longest text AMGetErrorTextA gives, in bytes: it fits the 160-character
// buffers callers keep for it, with the terminator.
constexpr std::size_t kMaxErrorText = 159;

// The text of a code the media framework returns; any other code gets a text
// naming its value. Never empty, never longer than kMaxErrorText.
std::string AMGetErrorTextA(HRESULT code);
