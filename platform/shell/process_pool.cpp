#include "platform/shell/process_pool.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string_view>

#include "platform/shell/spawn.h"

namespace shell {

namespace {

constexpr std::size_t kMostErrorBytes = std::size_t{64} * 1024;
// Output this long without a line end is dropped rather than kept growing.
constexpr std::size_t kLongestLine = std::size_t{64} * 1024;
// Tells a run which process started it, so that it ends with that process.
constexpr const char* kParentVariable = "REELCAST_POOL_PARENT";

}  // namespace

void EndWithPoolParent() {
  const char* parent = std::getenv(kParentVariable);
  if (!parent) return;
  const pid_t expected = static_cast<pid_t>(std::atol(parent));
  unsetenv(kParentVariable);
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  // A parent gone before the line above sent nothing: this run ends as if
  // it had.
  if (getppid() != expected) std::raise(SIGTERM);
}

class ProcessPool::Runs {
 public:
  Runs(const std::string& program, std::vector<std::vector<std::string>> arguments, int parallel,
       ProcessPoolObserver& observer)
      : program_(program),
        arguments_(std::move(arguments)),
        parallel_(static_cast<std::size_t>(std::max(parallel, 1))),
        observer_(observer),
        runs_(arguments_.size()) {}

  ~Runs() {
    for (Run& run : runs_) {
      if (run.pid <= 0) continue;
      // Nothing of this object is called while the processes go.
      run.watches.clear();
      ::kill(run.pid, SIGTERM);
      WaitForEnd(run.pid);
    }
  }

  void StartNext() {
    while (!interrupted_ && running_ < parallel_ && next_ < arguments_.size()) {
      const std::size_t index = next_++;
      observer_.OnStarted(index);
      SpawnRequest request;
      request.program = program_;
      request.arguments = arguments_[index];
      request.environment = {{kParentVariable, std::to_string(getpid())}};
      auto child = Spawn(request);
      if (!child) {
        ProcessEnd end;
        end.kind = ProcessEnd::Kind::FailedToStart;
        end.failure = "the program " + program_ + " could not be started";
        Finish(index, end);
        continue;
      }
      Run& run = runs_[index];
      run.pid = child->pid;
      run.out = std::move(child->out);
      run.err = std::move(child->err);
      Watch(index, run.out.get(), &Run::unreadOutput);
      Watch(index, run.err.get(), &Run::errors);
      ++running_;
    }
  }

  void Interrupt() {
    if (interrupted_) return;
    interrupted_ = true;
    while (next_ < arguments_.size()) {
      ProcessEnd end;
      end.kind = ProcessEnd::Kind::NotStarted;
      Finish(next_++, end);
    }
    for (const Run& run : runs_)
      if (run.pid > 0) ::kill(run.pid, SIGINT);
  }

  bool Interrupted() const { return interrupted_; }
  bool Done() const { return ended_ == arguments_.size(); }

 private:
  struct Run {
    pid_t pid = 0;  // while it runs
    FileDescriptor out;
    FileDescriptor err;
    std::vector<std::unique_ptr<QSocketNotifier>> watches;  // one per pipe still open
    std::string unreadOutput;                               // a line not yet ended
    std::string errors;
  };
  // Which of a run's texts a pipe fills.
  using RunText = std::string Run::*;

  // Reads the pipe `fd` of a run into its `text` as the run writes it; the
  // run has ended once both pipes have.
  void Watch(std::size_t index, int fd, RunText text) {
    auto watch = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QSocketNotifier* watching = watch.get();
    QObject::connect(watching, &QSocketNotifier::activated, watching,
                     [this, index, fd, text, watching] { Read(index, fd, text, watching); });
    runs_[index].watches.push_back(std::move(watch));
  }

  void Read(std::size_t index, int fd, RunText text, QSocketNotifier* watching) {
    Run& run = runs_[index];
    char buffer[4096];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (got > 0) {
      Take(index, run.*text, std::string_view(buffer, static_cast<std::size_t>(got)),
           text == &Run::unreadOutput);
      return;
    }
    std::erase_if(run.watches, [watching](const auto& w) { return w.get() == watching; });
    if (run.watches.empty()) Ended(index);
  }

  void Take(std::size_t index, std::string& text, std::string_view said, bool output) {
    if (!output) {
      const std::size_t room = kMostErrorBytes - std::min(kMostErrorBytes, text.size());
      text.append(said.substr(0, std::min(room, said.size())));
      return;
    }
    text += said;
    std::size_t end = 0;
    while ((end = text.find('\n')) != std::string::npos) {
      observer_.OnOutputLine(index, text.substr(0, end));
      text.erase(0, end + 1);
    }
    if (text.size() > kLongestLine) text.clear();
  }

  // A started run has ended (its pipes closed with it): the next one may start.
  void Ended(std::size_t index) {
    Run& run = runs_[index];
    const int status = WaitForEnd(std::exchange(run.pid, 0));
    run.out.Reset();
    run.err.Reset();
    --running_;
    ProcessEnd end;
    end.kind = WIFEXITED(status) ? ProcessEnd::Kind::Exited : ProcessEnd::Kind::Crashed;
    end.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
    end.errorOutput = std::move(run.errors);
    Finish(index, end);
    StartNext();
  }

  void Finish(std::size_t index, const ProcessEnd& end) {
    ++ended_;
    observer_.OnEnded(index, end);
  }

  std::string program_;
  std::vector<std::vector<std::string>> arguments_;
  std::size_t parallel_;
  ProcessPoolObserver& observer_;
  std::vector<Run> runs_;
  std::size_t next_ = 0;  // the first run not started
  std::size_t running_ = 0;
  std::size_t ended_ = 0;
  bool interrupted_ = false;
};

ProcessPool::ProcessPool(const std::string& program,
                         std::vector<std::vector<std::string>> arguments, int parallel,
                         ProcessPoolObserver& observer)
    : runs_(std::make_unique<Runs>(program, std::move(arguments), parallel, observer)) {}

ProcessPool::~ProcessPool() = default;

void ProcessPool::Start() { runs_->StartNext(); }
void ProcessPool::Interrupt() { runs_->Interrupt(); }
bool ProcessPool::Interrupted() const { return runs_->Interrupted(); }
bool ProcessPool::Done() const { return runs_->Done(); }

}  // namespace shell
