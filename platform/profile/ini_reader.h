#pragma once
// The initialization-file reader the language files are read with. It gives
// the same text for the same bytes as the Windows reader for 8-bit text
// (GetPrivateProfileStringA): line ends CR LF, LF or CR; ';' comments; section
// headers; case-blind section and key names; blanks trimmed; one pair of outer
// quotes removed; first section and first key win; a UTF-16LE file with its
// byte-order mark decoded (to UTF-8, the code page here); every other file
// taken byte for byte.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/profile/file_bytes.h"

namespace profile {

// The most of one file that is read. Language files are a few kilobytes; the
// cap keeps a huge or endless file from costing memory and time.
constexpr std::size_t kMaxIniFileBytes = std::size_t{4} * 1024 * 1024;

class IniFile {
 public:
  // An empty file: every lookup gives its default.
  IniFile() = default;
  // The file's content as read from disk, before decoding.
  static IniFile FromBytes(std::string_view bytes);
  // Reads a file (at most kMaxIniFileBytes of it). A missing or unreadable
  // file behaves as an empty one; status() says which it was.
  static IniFile Load(const std::string& path);

  FileBytes::Status status() const { return status_; }

  // The value of a key, after trimming, removing outer quotes and cutting at
  // a NUL; nothing when the section or key is missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // What GetPrivateProfileStringA copies into a buffer of `size` bytes: at
  // most size - 1 bytes of the value, or of the default (less its trailing
  // spaces) when the section or key is missing.
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view defaultValue, std::size_t size) const;

 private:
  struct Range {
    std::size_t begin = 0, end = 0;
  };
  std::optional<Range> SectionBody(std::string_view section) const;
  std::optional<Range> ScanForSection(std::string_view section) const;

  std::string text_;  // decoded content
  // Sections already looked for, so that many lookups in a large file scan
  // it for each section once.
  mutable std::vector<std::pair<std::string, std::optional<Range>>> sections_;
  FileBytes::Status status_ = FileBytes::Status::Missing;
};

// Reads one value from a file; the stand-in for the Windows call.
std::string GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, std::size_t size,
                                     const std::string& path);

}  // namespace profile
