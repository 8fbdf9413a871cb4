#pragma once
// Reading a whole small file into memory without trusting it: only regular
// files are read (a FIFO or a device would block or never end), and never
// more than a cap.

#include <cstddef>
#include <string>

namespace profile {

struct FileBytes {
  enum class Status {
    Read,        // the whole file is in `bytes`
    Truncated,   // the file is longer than the cap; `bytes` holds its beginning
    Missing,     // no such file (also a missing folder on the way)
    Unreadable,  // exists but is no regular file, or cannot be read
  };
  Status status = Status::Missing;
  std::string bytes;
};

FileBytes ReadFileBytes(const std::string& path, std::size_t cap);

}  // namespace profile
