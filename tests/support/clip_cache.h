#pragma once
// Clips made once and shared by the test processes of this user, in the
// temporary folder. Each is written under a name of its own and linked
// into place, so a clip that exists is whole and never changes.

#include <functional>
#include <string>

namespace test_support {

// Puts the whole clip `part` at `path` unless a clip is there already, and
// removes `part` either way.
void KeepFirst(const std::string& part, const std::string& path);

// The path of the clip `name`; `make` writes it to the path it is given
// when it does not exist yet, and throws when it cannot.
std::string MadeOnce(const std::string& name, const std::function<void(const std::string&)>& make);

}  // namespace test_support
