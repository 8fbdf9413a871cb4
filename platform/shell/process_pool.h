#pragma once
// Runs one program many times with different arguments, each run in a
// process of its own and up to a number of them at once, so that one run
// that crashes takes no other with it. Arguments reach the runs byte for
// byte. Everything happens on the thread that owns the pool, in its event
// loop: the observer is called there.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace shell {

// How one run ended.
struct ProcessEnd {
  enum class Kind {
    Exited,         // with `exitCode`
    Crashed,        // ended by a signal
    FailedToStart,  // `failure` says why
    NotStarted,     // the pool was interrupted before its turn
  };
  Kind kind = Kind::Exited;
  int exitCode = 0;
  std::string errorOutput;  // what it wrote on standard error (the first 64 KiB)
  std::string failure;
};

class ProcessPoolObserver {
 public:
  virtual ~ProcessPoolObserver() = default;
  virtual void OnStarted(std::size_t run) = 0;
  // A line the run wrote on standard output, without its line end.
  virtual void OnOutputLine(std::size_t run, const std::string& line) = 0;
  virtual void OnEnded(std::size_t run, const ProcessEnd& end) = 0;
};

// Called first thing by a program the pool starts: it then ends (SIGTERM)
// when the process that started it does, even one killed outright. Does
// nothing in a program the pool did not start.
void EndWithPoolParent();

class ProcessPool {
 public:
  // Run i is `program` with `arguments[i]`; `parallel` at most at once.
  ProcessPool(const std::string& program, std::vector<std::vector<std::string>> arguments,
              int parallel, ProcessPoolObserver& observer);
  // Runs still going are interrupted (SIGTERM) and waited for.
  ~ProcessPool();
  ProcessPool(const ProcessPool&) = delete;
  ProcessPool& operator=(const ProcessPool&) = delete;

  // Starts the first runs; each end starts the next.
  void Start();
  // Sends SIGINT to every run going, as Ctrl+C would, and ends the runs not
  // yet started as NotStarted. Once is enough; more change nothing.
  void Interrupt();
  bool Interrupted() const;
  // Every run has ended.
  bool Done() const;

 private:
  class Runs;
  std::unique_ptr<Runs> runs_;
};

}  // namespace shell
