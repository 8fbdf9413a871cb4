#pragma once
// The program's built-in English strings, by id.

#include <optional>
#include <string>

// The built-in string with this id, or nothing when the program has none.
std::optional<std::string> LoadBuiltInString(int id);
