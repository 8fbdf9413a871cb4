#pragma once
// Starts a program as a shell would (posix_spawn, looked up on PATH), with
// its arguments passed byte for byte, whatever their encoding, and its
// standard output and error on pipes of its own.

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/shell/file_descriptor.h"

namespace shell {

struct SpawnRequest {
  std::string program;
  std::vector<std::string> arguments;
  std::string folder;  // the child's working folder; empty: this process's
  // Set in the child's environment (an empty value removes the variable).
  std::vector<std::pair<std::string, std::string>> environment;
  bool mergeErrors = false;  // standard error goes where standard output goes
  bool readErrors = true;    // false: standard error stays this process's
};

struct SpawnedChild {
  pid_t pid = 0;
  FileDescriptor out;  // the reading ends; only the child holds the writing ends
  FileDescriptor err;  // none when merged or left alone
};

// The started child; nothing when it could not be started.
std::optional<SpawnedChild> Spawn(const SpawnRequest& request);

// Waits for the child's end (retrying when a signal interrupts); its wait
// status.
int WaitForEnd(pid_t child);

}  // namespace shell
