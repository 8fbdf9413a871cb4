#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

#include "platform/shell/file_descriptor.h"

namespace test_support {

namespace {

// Both ends close on exec: the child gets its copies through dup2 only.
struct Pipe {
  shell::FileDescriptor read;
  shell::FileDescriptor write;
  bool Open() {
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_CLOEXEC) != 0) return false;
    read.Reset(ends[0]);
    write.Reset(ends[1]);
    return true;
  }
};

// The parent's environment with the options' variables set or removed.
std::vector<std::string> ChildEnvironment(const ChildOptions& options) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text(*entry);
    const std::string name = text.substr(0, text.find('='));
    bool replaced = false;
    for (const auto& [setName, value] : options.environment) replaced |= setName == name;
    if (!replaced) result.push_back(text);
  }
  for (const auto& [name, value] : options.environment)
    if (!value.empty()) result.push_back(std::string(name).append("=").append(value));
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

class FileActions {
 public:
  FileActions() { posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_{};
};

// Starts `program` (looked up on PATH) with `arguments`; 0 when it could not.
pid_t Spawn(const std::string& program, const std::vector<std::string>& arguments,
            FileActions& actions, char* const* environment) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  pid_t child = 0;
  if (posix_spawnp(&child, program.c_str(), actions.get(), nullptr, Pointers(argv).data(),
                   environment) != 0)
    return 0;
  return child;
}

// Reads both pipes to their ends, Ctrl+C once `interruptWhen` holds; false
// when the hang guard ran out first.
bool Collect(pid_t child, int out, int err, const ChildOptions& options, ChildOutcome& outcome) {
  const auto guard = std::chrono::steady_clock::now() + options.hangGuard;
  bool interrupted = !options.interruptWhen;
  pollfd ends[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
  std::string* into[2] = {&outcome.out, &outcome.err};
  int open = err >= 0 ? 2 : 1;
  if (err < 0) ends[1].fd = -1;
  while (open > 0) {
    if (std::chrono::steady_clock::now() > guard) return false;
    if (!interrupted && options.interruptWhen()) {
      ::kill(child, options.interruptSignal);
      interrupted = true;
    }
    // Short slices while a condition is watched, so it is seen soon.
    if (::poll(ends, 2, interrupted ? 1000 : 10) < 0 && errno != EINTR) return false;
    for (int i = 0; i < 2; ++i) {
      if (ends[i].fd < 0 || !(ends[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      const ssize_t got = ::read(ends[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        into[i]->append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        ends[i].fd = -1;
        --open;
      }
    }
  }
  return true;
}

}  // namespace

ChildOutcome RunChild(const std::string& program, const std::vector<std::string>& arguments,
                      const ChildOptions& options) {
  ChildOutcome outcome;
  Pipe out;
  Pipe err;
  if (!out.Open() || (!options.mergeErrors && !err.Open())) return outcome;

  FileActions actions;
  posix_spawn_file_actions_adddup2(actions.get(), out.write.get(), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(
      actions.get(), options.mergeErrors ? out.write.get() : err.write.get(), STDERR_FILENO);
  if (!options.folder.empty())
    posix_spawn_file_actions_addchdir_np(actions.get(), options.folder.c_str());

  std::vector<std::string> environment = ChildEnvironment(options);
  const pid_t child = Spawn(program, arguments, actions, Pointers(environment).data());
  // Only the child holds the writing ends now, so its end closes the pipes.
  out.write.Reset();
  err.write.Reset();
  if (child == 0) return outcome;
  outcome.started = true;

  const bool collected =
      Collect(child, out.read.get(), options.mergeErrors ? -1 : err.read.get(), options, outcome);
  if (!collected) ::kill(child, SIGKILL);
  int ended = 0;
  while (::waitpid(child, &ended, 0) < 0 && errno == EINTR) {
  }
  outcome.exited = collected && WIFEXITED(ended);
  outcome.status = outcome.exited ? WEXITSTATUS(ended) : -1;
  return outcome;
}

bool BackgroundChild::Start(const std::string& program, const std::vector<std::string>& arguments) {
  Stop();
  Pipe out;
  if (!out.Open()) return false;
  FileActions actions;
  posix_spawn_file_actions_adddup2(actions.get(), out.write.get(), STDOUT_FILENO);
  const pid_t child = Spawn(program, arguments, actions, environ);
  if (child == 0) return false;
  pid_ = child;
  out_ = out.read.Release();
  return true;
}

std::string BackgroundChild::ReadLine() {
  std::string line;
  char c = 0;
  while (out_ >= 0 && ::read(out_, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

void BackgroundChild::Stop() {
  if (out_ >= 0) ::close(out_);
  out_ = -1;
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  int ended = 0;
  while (::waitpid(pid_, &ended, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

}  // namespace test_support
