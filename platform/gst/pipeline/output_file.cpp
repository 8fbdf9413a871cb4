#include "platform/gst/pipeline/output_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <utility>

namespace gst {

namespace {

constexpr std::string_view kMark = ".reelcast-";
constexpr std::size_t kLetters = 6;
// Of the output's own name, the temporary name keeps this many bytes at
// most, so that it stays within the file system's limit of 255.
constexpr std::size_t kKeptName = 200;
constexpr const char* kAlphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return std::strchr(kAlphabet, c) != nullptr && c != '\0'; }

// The process id a temporary name carries; 0 for another name.
pid_t OwnerOf(std::string_view name) {
  if (!IsTemporaryOutputName(name)) return 0;
  const std::string_view rest = name.substr(0, name.size() - kLetters - 1);
  const std::size_t digits = rest.find_last_not_of("0123456789") + 1;
  pid_t pid = 0;
  for (const char c : rest.substr(digits)) pid = pid * 10 + (c - '0');
  return pid;
}

// `name` cut to at most `limit` bytes, never inside a UTF-8 character.
std::string_view Cut(std::string_view name, std::size_t limit) {
  if (name.size() <= limit) return name;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

std::string SystemReason(const std::string& what) { return what + ": " + std::strerror(errno); }

// Removes the temporary file `name` of `folder` when its writer is gone: its
// process no longer exists and nothing holds its lock.
void RemoveIfAbandoned(const std::string& folder, const std::string& name) {
  const pid_t owner = OwnerOf(name);
  if (owner <= 0 || kill(owner, 0) == 0 || errno != ESRCH) return;
  const std::string path = folder + "/" + name;
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return;
  struct stat status = {};
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
    unlink(path.c_str());
  close(fd);
}

void RemoveAbandoned(const std::string& folder) {
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(folder.c_str()), &closedir);
  if (!listing) return;
  while (const dirent* entry = readdir(listing.get())) {
    const std::string name = entry->d_name;
    if (IsTemporaryOutputName(name)) RemoveIfAbandoned(folder, name);
  }
}

}  // namespace

bool IsTemporaryOutputName(std::string_view name) {
  if (name.size() < 1 + kMark.size() + 2 + kLetters || name.front() != '.') return false;
  const std::string_view letters = name.substr(name.size() - kLetters);
  for (const char c : letters)
    if (!IsLetter(c)) return false;
  std::string_view rest = name.substr(0, name.size() - kLetters);
  if (rest.back() != '-') return false;
  rest.remove_suffix(1);
  const std::size_t digits = rest.find_last_not_of("0123456789") + 1;
  if (digits == rest.size() || !IsDigit(rest[digits])) return false;
  rest = rest.substr(0, digits);
  return rest.size() > kMark.size() && rest.ends_with(kMark);
}

Result<OutputFile> OutputFile::Begin(const std::string& path) {
  // A pipe or a device is written as it is: it has no contents to lose and
  // takes no other name.
  struct stat existing = {};
  if (stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
    OutputFile direct(path, path, -1);
    direct.kept_ = true;
    return direct;
  }
  std::filesystem::path final(path);
  std::error_code error;
  // A link names where the file goes; the link itself stays.
  if (std::filesystem::is_symlink(final, error)) {
    const auto target = std::filesystem::canonical(final, error);
    if (!error) final = target;
  }
  const std::string folder = final.has_parent_path() ? final.parent_path().string() : ".";
  RemoveAbandoned(folder);

  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<std::size_t> pick(0, std::strlen(kAlphabet) - 1);
  const std::string prefix = folder + "/." +
                             std::string(Cut(final.filename().string(), kKeptName)) +
                             std::string(kMark) + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string writing = prefix;
    for (std::size_t i = 0; i < kLetters; ++i) writing += kAlphabet[pick(random)];
    const int fd = open(writing.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return Reason{SystemReason("The output file \"" + path + "\" cannot be made")};
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const Reason why{SystemReason("The output file \"" + path + "\" cannot be locked")};
      unlink(writing.c_str());
      close(fd);
      return why;
    }
    return OutputFile(final.string(), std::move(writing), fd);
  }
  return Reason{"The output file \"" + path + "\" cannot be made: no free temporary name."};
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : final_(std::move(other.final_)),
      writing_(std::move(other.writing_)),
      lock_(std::exchange(other.lock_, -1)),
      kept_(std::exchange(other.kept_, true)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    Release();
    final_ = std::move(other.final_);
    writing_ = std::move(other.writing_);
    lock_ = std::exchange(other.lock_, -1);
    kept_ = std::exchange(other.kept_, true);
  }
  return *this;
}

OutputFile::~OutputFile() { Release(); }

void OutputFile::Release() {
  if (!kept_ && !writing_.empty()) unlink(writing_.c_str());
  if (lock_ >= 0) close(lock_);
  lock_ = -1;
  kept_ = true;
}

Result<void> OutputFile::Keep() {
  if (kept_) return {};
  if (std::rename(writing_.c_str(), final_.c_str()) != 0)
    return Reason{SystemReason("The output file cannot take its name")};
  kept_ = true;
  close(std::exchange(lock_, -1));
  return {};
}

}  // namespace gst
