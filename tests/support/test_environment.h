#pragma once

#include <string>

namespace test_support {

// Points HOME and the XDG folders at `home` (created as needed).
void UsePrivateHome(const std::string& home);

// The private home folder of this test process.
std::string HomeFolder();

// What the program's main does before its first window: media framework and
// component classes.
void InitialisePlatform();

}  // namespace test_support
