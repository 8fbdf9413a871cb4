#pragma once
// The application profile: named integer and string values grouped in
// sections, kept with QSettings in its native format under the company key
// the application chose and the executable's base name. Registry rules hold:
// section and key names match without regard to case, integers and strings
// keep their types, and a read never creates anything.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace profile {

// Reads a signed 32-bit integer; the default when the value is missing or is
// not an integer.
std::int32_t GetProfileInt(const std::string& section, const std::string& key,
                           std::int32_t defaultValue);
// Reads a string; the default when the value is missing.
std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue);
bool WriteProfileInt(const std::string& section, const std::string& key, std::int32_t value);
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value);

// While read-only, every stored value stays as it is: writes (also the
// adjustment of the foreign value below) change nothing and return false.
// A run of the command-line converter works this way, so that it leaves the
// settings exactly as it found them.
void SetReadOnly(bool readOnly);

// Called with section and key after every write to the profile; tests use it
// to see which values are written and in which order. Null removes it.
void SetWriteObserver(
    std::function<void(const std::string& section, const std::string& key)> observer);

// The one value of another program's settings that the system adjusts:
// "Disable feedback" under DivXNetworks/DivX4Windows. Sets the first byte of
// its data to 1 when the value exists; creates nothing.
void AdjustForeignDivXValue();

}  // namespace profile
