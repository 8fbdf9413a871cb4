#pragma once
// The escapes of language file values: backslash + t, n and r become a tab, a
// line feed and a carriage return, in three passes in that order. No other
// escape exists; a backslash before anything else stays.

#include <string>

std::string ReplaceEscapes(std::string text);
