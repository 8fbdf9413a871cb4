#include "tests/support/clip_cache.h"

#include <unistd.h>

#include <filesystem>

namespace test_support {

std::string MadeOnce(const std::string& name, const std::function<void(const std::string&)>& make) {
  // The last part is raised whenever a recipe changes, so no clip made by an
  // older one is taken.
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("reelcast-gst-clips-" + std::to_string(getuid())) / "v3";
  std::filesystem::create_directories(folder);
  const std::string path = (folder / name).string();
  if (std::filesystem::exists(path)) return path;
  const std::string part = path + ".part-" + std::to_string(getpid());
  try {
    make(part);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(part, ignored);
    throw;
  }
  std::filesystem::rename(part, path);
  return path;
}

}  // namespace test_support
