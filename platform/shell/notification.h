#pragma once
// Desktop notifications: a short message the desktop shows outside the
// program's windows (freedesktop notifications over the session bus).

#include <string>

namespace shell {

// Asks the desktop's notification service to show `summary` with `body`
// under the program's icon. Returns at once, without waiting for the
// service; false when the session has no notification service (nothing is
// shown then).
bool ShowDesktopNotification(const std::string& summary, const std::string& body);

}  // namespace shell
