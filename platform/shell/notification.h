#pragma once
// Desktop notifications: a short message the desktop shows outside the
// program's windows (freedesktop notifications over the session bus).

#include <string>

namespace shell {

// Asks the desktop's notification service to show `summary` with `body`
// under the program's icon. Returns at once, without waiting for the bus
// or the service; false when there is no session bus. Without a
// notification service nothing is shown.
bool ShowDesktopNotification(const std::string& summary, const std::string& body);

}  // namespace shell
