#include "platform/ui/environment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace ui {

void PrepareEnvironment() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return;
  const std::string folder = "/tmp/runtime-" + std::to_string(::getuid());
  ::mkdir(folder.c_str(), 0700);
  struct stat info = {};
  // Only a folder of our own that nobody else can enter will do.
  if (::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
      (info.st_mode & 077) == 0)
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

}  // namespace ui
