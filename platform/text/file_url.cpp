#include "platform/text/file_url.h"

#include <glib.h>

#include <filesystem>
#include <memory>
#include <system_error>

namespace text {

std::string FileUrl(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return {};
  // GLib encodes the path's bytes as they are, whatever their encoding.
  const std::unique_ptr<gchar, decltype(&g_free)> url(
      g_filename_to_uri(absolute.lexically_normal().c_str(), nullptr, nullptr), g_free);
  return url ? std::string(url.get()) : std::string();
}

}  // namespace text
