#include "tests/support/clip_cache.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace test_support {

void KeepFirst(const std::string& part, const std::string& path) {
  // A clip another test process made meanwhile is never replaced: a run
  // reading it would see its source change under it.
  if (link(part.c_str(), path.c_str()) != 0 && errno != EEXIST)
    throw std::filesystem::filesystem_error("cannot keep the clip", part, path,
                                            std::error_code(errno, std::generic_category()));
  std::filesystem::remove(part);
}

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
  KeepFirst(part, path);
  return path;
}

}  // namespace test_support
