#pragma once
// The desktop services the system asks for: folders, the program's own
// path, the platform version and the file-exists test.

#include <optional>
#include <string>

namespace shell {

// The user's Videos folder, or nothing when the desktop has none.
std::optional<std::string> VideosFolder();

// The user's home folder.
std::string HomeFolder();

// Major version of the platform; always 6 or more here.
int PlatformMajorVersion();

// Full path of the running executable, and its base name (no folder, no
// extension).
std::string ExecutablePath();
std::string ExecutableBaseName();

// True when a regular file exists at `path` and can be opened for reading.
bool FileExists(const std::string& path);

}  // namespace shell
