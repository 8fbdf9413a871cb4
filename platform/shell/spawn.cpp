#include "platform/shell/spawn.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace shell {

namespace {

// Both ends close on exec: the child gets its copies through dup2 only.
struct Pipe {
  FileDescriptor read;
  FileDescriptor write;
  bool Open() {
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_CLOEXEC) != 0) return false;
    read.Reset(ends[0]);
    write.Reset(ends[1]);
    return true;
  }
};

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

// This process's environment with the request's variables set or removed.
std::vector<std::string> ChildEnvironment(const SpawnRequest& request) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text(*entry);
    const std::string name = text.substr(0, text.find('='));
    bool replaced = false;
    for (const auto& [setName, value] : request.environment) replaced |= setName == name;
    if (!replaced) result.push_back(text);
  }
  for (const auto& [name, value] : request.environment)
    if (!value.empty()) result.push_back(std::string(name).append("=").append(value));
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  pointers.reserve(texts.size() + 1);
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

std::optional<SpawnedChild> Spawn(const SpawnRequest& request) {
  Pipe out;
  Pipe err;
  const bool separateErrors = request.readErrors && !request.mergeErrors;
  if (!out.Open() || (separateErrors && !err.Open())) return std::nullopt;
  FileActions actions;
  posix_spawn_file_actions_adddup2(actions.get(), out.write.get(), STDOUT_FILENO);
  if (request.mergeErrors)
    posix_spawn_file_actions_adddup2(actions.get(), out.write.get(), STDERR_FILENO);
  else if (separateErrors)
    posix_spawn_file_actions_adddup2(actions.get(), err.write.get(), STDERR_FILENO);
  if (!request.folder.empty())
    posix_spawn_file_actions_addchdir_np(actions.get(), request.folder.c_str());

  std::vector<std::string> argv{request.program};
  argv.insert(argv.end(), request.arguments.begin(), request.arguments.end());
  std::vector<std::string> environment = ChildEnvironment(request);
  SpawnedChild child;
  if (posix_spawnp(&child.pid, request.program.c_str(), actions.get(), nullptr,
                   Pointers(argv).data(), Pointers(environment).data()) != 0)
    return std::nullopt;
  child.out = FileDescriptor(out.read.Release());
  if (separateErrors) child.err = FileDescriptor(err.read.Release());
  return child;
}

int WaitForEnd(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

}  // namespace shell
