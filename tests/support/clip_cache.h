#pragma once
// Clips made once and shared by the test processes of this user, in the
// temporary folder. Each is written under a name of its own and renamed
// into place, so a clip that exists is whole.

#include <functional>
#include <string>

namespace test_support {

// The path of the clip `name`; `make` writes it to the path it is given
// when it does not exist yet, and throws when it cannot.
std::string MadeOnce(const std::string& name, const std::function<void(const std::string&)>& make);

}  // namespace test_support
