#pragma once
// Starts a program as a shell would (posix_spawn, looked up on PATH) and
// collects what it prints. QProcess is not used here: once a process has
// started a child through it, ThreadSanitizer no longer sees the order that
// our own mutexes give between GStreamer's threads and the main thread, and
// reports the state they guard as raced.

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

struct ChildOptions {
  std::string folder;  // the child's working folder; empty: this process's
  // Set in the child's environment (an empty value removes the variable).
  std::vector<std::pair<std::string, std::string>> environment;
  bool mergeErrors = false;  // standard error goes where standard output goes
  // Ctrl+C (SIGINT to the child alone) as soon as this holds, once.
  std::function<bool()> interruptWhen;
  int interruptSignal = SIGINT;  // or another signal that asks it to stop
  // Only keeps a hung child from holding the test run (see waiting.h).
  std::chrono::seconds hangGuard{120};
};

struct ChildOutcome {
  bool started = false;
  bool exited = false;  // it ended by itself with an exit status
  int status = -1;      // that status; -1 otherwise
  std::string out;
  std::string err;
};

// Runs `program` with `arguments` to its end. A child still running when its
// hang guard runs out is killed (exited stays false).
ChildOutcome RunChild(const std::string& program, const std::vector<std::string>& arguments,
                      const ChildOptions& options = {});

// A child that runs until it is stopped (a daemon), started as RunChild
// starts one; its standard output is read line by line.
class BackgroundChild {
 public:
  BackgroundChild() = default;
  ~BackgroundChild() { Stop(); }
  BackgroundChild(const BackgroundChild&) = delete;
  BackgroundChild& operator=(const BackgroundChild&) = delete;

  bool Start(const std::string& program, const std::vector<std::string>& arguments);
  bool Running() const { return pid_ > 0; }
  // The next line it prints, without its end; empty once its output ended.
  std::string ReadLine();
  // Kills it and waits for its end.
  void Stop();

 private:
  int pid_ = -1;
  int out_ = -1;
};

}  // namespace test_support
