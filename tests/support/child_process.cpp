#include "tests/support/child_process.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

#include "platform/shell/spawn.h"

namespace test_support {

namespace {

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
  shell::SpawnRequest request;
  request.program = program;
  request.arguments = arguments;
  request.folder = options.folder;
  request.environment = options.environment;
  request.mergeErrors = options.mergeErrors;
  auto spawned = shell::Spawn(request);
  if (!spawned) return outcome;
  const pid_t child = spawned->pid;
  outcome.started = true;

  const bool collected = Collect(child, spawned->out.get(),
                                 options.mergeErrors ? -1 : spawned->err.get(), options, outcome);
  if (!collected) ::kill(child, SIGKILL);
  const int ended = shell::WaitForEnd(child);
  outcome.exited = collected && WIFEXITED(ended);
  outcome.status = outcome.exited ? WEXITSTATUS(ended) : -1;
  return outcome;
}

bool BackgroundChild::Start(const std::string& program, const std::vector<std::string>& arguments) {
  Stop();
  shell::SpawnRequest request;
  request.program = program;
  request.arguments = arguments;
  request.readErrors = false;
  auto spawned = shell::Spawn(request);
  if (!spawned) return false;
  pid_ = spawned->pid;
  out_ = spawned->out.Release();
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
  shell::WaitForEnd(pid_);
  pid_ = -1;
}

}  // namespace test_support
