#pragma once

#include <string>

namespace test_support {

// Points HOME and the XDG folders at `home` (created as needed).
void UsePrivateHome(const std::string& home);

// The private home folder of this test process.
std::string HomeFolder();

// Removes every stored setting of this test process (its private config
// folder), so a test starts as a fresh user.
void ResetSettings();

// The path of the program's settings file in the private config folder.
std::string SettingsFilePath();

// What the program's main does before its first window: media framework and
// component classes.
void InitialisePlatform();

}  // namespace test_support
