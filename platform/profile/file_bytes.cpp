#include "platform/profile/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/shell/file_descriptor.h"

namespace profile {

FileBytes ReadFileBytes(const std::string& path, std::size_t cap) {
  FileBytes result;
  // Non-blocking, so that opening a FIFO without a writer returns at once.
  shell::FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) {
    result.status = (errno == ENOENT || errno == ENOTDIR) ? FileBytes::Status::Missing
                                                          : FileBytes::Status::Unreadable;
    return result;
  }
  struct stat info = {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    result.status = FileBytes::Status::Unreadable;
    return result;
  }

  // Reads one byte past the cap to tell a file of exactly `cap` bytes from a
  // longer one; the file may grow or shrink meanwhile, which is fine.
  const std::size_t want = cap + 1;
  if (info.st_size > 0)
    result.bytes.reserve(std::min<std::size_t>(static_cast<std::size_t>(info.st_size), want));
  char chunk[64 * 1024];
  while (result.bytes.size() < want) {
    const std::size_t ask = std::min(sizeof chunk, want - result.bytes.size());
    const ssize_t got = ::read(fd.get(), chunk, ask);
    if (got < 0) {
      if (errno == EINTR) continue;
      result.bytes.clear();
      result.status = FileBytes::Status::Unreadable;
      return result;
    }
    if (got == 0) break;
    result.bytes.append(chunk, static_cast<std::size_t>(got));
  }
  if (result.bytes.size() > cap) {
    result.bytes.resize(cap);
    result.status = FileBytes::Status::Truncated;
  } else {
    result.status = FileBytes::Status::Read;
  }
  return result;
}

}  // namespace profile
