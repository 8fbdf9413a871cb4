#include "platform/shell/process_pool.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <csignal>
#include <optional>

namespace shell {

namespace {

constexpr std::size_t kMostErrorBytes = std::size_t{64} * 1024;
// Output this long without a line end is dropped rather than kept growing.
constexpr std::size_t kLongestLine = std::size_t{64} * 1024;

// The arguments as a process gets them; nothing when one of them would not
// reach it unchanged (text that is not UTF-8).
std::optional<QStringList> Faithful(const std::vector<std::string>& arguments) {
  QStringList list;
  for (const std::string& argument : arguments) {
    const QString text = QString::fromStdString(argument);
    if (text.toStdString() != argument) return std::nullopt;
    list << text;
  }
  return list;
}

}  // namespace

class ProcessPool::Runs {
 public:
  Runs(const std::string& program, std::vector<std::vector<std::string>> arguments, int parallel,
       ProcessPoolObserver& observer)
      : program_(QString::fromStdString(program)),
        arguments_(std::move(arguments)),
        parallel_(static_cast<std::size_t>(std::max(parallel, 1))),
        observer_(observer),
        runs_(arguments_.size()) {}

  ~Runs() {
    for (Run& run : runs_) {
      if (!run.process) continue;
      // Nothing of this object is called while the processes go.
      QObject::disconnect(run.process.get(), nullptr, nullptr, nullptr);
      if (run.process->state() == QProcess::NotRunning) continue;
      run.process->terminate();
      run.process->waitForFinished(-1);
    }
  }

  void StartNext() {
    while (!interrupted_ && running_ < parallel_ && next_ < arguments_.size()) {
      const std::size_t index = next_++;
      observer_.OnStarted(index);
      const auto arguments = Faithful(arguments_[index]);
      if (!arguments) {
        ProcessEnd end;
        end.kind = ProcessEnd::Kind::FailedToStart;
        end.failure = "an argument is not UTF-8 text, which cannot be passed to a process";
        Finish(index, end);
        continue;
      }
      runs_[index].process = std::make_unique<QProcess>();
      QProcess* process = runs_[index].process.get();
      QObject::connect(process, &QProcess::readyReadStandardOutput, process,
                       [this, index] { ReadOutput(index); });
      QObject::connect(process, &QProcess::readyReadStandardError, process,
                       [this, index] { ReadErrors(index); });
      QObject::connect(process, &QProcess::finished, process,
                       [this, index](int exitCode, QProcess::ExitStatus status) {
                         ReadOutput(index);
                         ReadErrors(index);
                         ProcessEnd end;
                         end.kind = status == QProcess::NormalExit ? ProcessEnd::Kind::Exited
                                                                   : ProcessEnd::Kind::Crashed;
                         end.exitCode = exitCode;
                         Ended(index, std::move(end));
                       });
      QObject::connect(process, &QProcess::errorOccurred, process,
                       [this, index, process](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         ProcessEnd end;
                         end.kind = ProcessEnd::Kind::FailedToStart;
                         end.failure = process->errorString().toStdString();
                         Ended(index, std::move(end));
                       });
      ++running_;
      process->start(program_, *arguments);
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
    for (Run& run : runs_)
      if (run.process && run.process->state() != QProcess::NotRunning &&
          run.process->processId() > 0)
        ::kill(static_cast<pid_t>(run.process->processId()), SIGINT);
  }

  bool Interrupted() const { return interrupted_; }
  bool Done() const { return ended_ == arguments_.size(); }

 private:
  struct Run {
    std::unique_ptr<QProcess> process;
    std::string unreadOutput;  // a line not yet ended
    std::string errors;
  };

  void ReadOutput(std::size_t index) {
    Run& run = runs_[index];
    run.unreadOutput += run.process->readAllStandardOutput().toStdString();
    std::size_t end = 0;
    while ((end = run.unreadOutput.find('\n')) != std::string::npos) {
      observer_.OnOutputLine(index, run.unreadOutput.substr(0, end));
      run.unreadOutput.erase(0, end + 1);
    }
    if (run.unreadOutput.size() > kLongestLine) run.unreadOutput.clear();
  }

  void ReadErrors(std::size_t index) {
    Run& run = runs_[index];
    const QByteArray said = run.process->readAllStandardError();
    const std::size_t room = kMostErrorBytes - std::min(kMostErrorBytes, run.errors.size());
    run.errors.append(said.constData(), std::min(room, static_cast<std::size_t>(said.size())));
  }

  // A started run has ended: the next one may start.
  void Ended(std::size_t index, ProcessEnd end) {
    --running_;
    end.errorOutput = std::move(runs_[index].errors);
    Finish(index, end);
    StartNext();
  }

  void Finish(std::size_t index, const ProcessEnd& end) {
    ++ended_;
    observer_.OnEnded(index, end);
  }

  QString program_;
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
