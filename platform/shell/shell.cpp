#include "platform/shell/shell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

#include "platform/shell/file_descriptor.h"

namespace shell {

std::optional<std::string> VideosFolder() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
  if (folder.isEmpty()) return std::nullopt;
  return QDir::cleanPath(folder).toStdString();
}

std::string HomeFolder() { return QDir::homePath().toStdString(); }

int PlatformMajorVersion() { return 6; }

std::string ExecutablePath() {
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

std::string ExecutableBaseName() {
  return QFileInfo(QString::fromStdString(ExecutablePath())).completeBaseName().toStdString();
}

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return false;
  struct stat info = {};
  return ::fstat(fd.get(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace shell
