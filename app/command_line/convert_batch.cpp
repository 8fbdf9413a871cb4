#include "app/command_line/convert_batch.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "app/command_line/batch_plan.h"
#include "app/command_line/batch_progress.h"
#include "app/command_line/convert_session.h"
#include "app/command_line/interrupt_watch.h"
#include "app/command_line/progress_report.h"
#include "options/output_formats.h"
#include "options/settings_store.h"
#include "platform/gst/parallel/cores.h"
#include "platform/shell/process_pool.h"
#include "platform/shell/shell.h"
#include "platform/ui/message_loop.h"

namespace {

namespace fs = std::filesystem;

// How often the run looks whether Ctrl+C has come.
constexpr unsigned kInterruptCheckMilliseconds = 100;

std::string Resolved(const std::string& path) {
  std::error_code error;
  const fs::path resolved = fs::weakly_canonical(fs::absolute(path), error);
  return error ? fs::absolute(path).lexically_normal().string() : resolved.string();
}

std::size_t TerminalWidth() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

bool HasContent(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(path, error) && fs::file_size(path, error) > 0 && !error;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// "Failed: SOURCE" and the reason below it, each of its lines indented.
std::string FailureText(const std::string& source, const std::string& reason) {
  std::string text = "Failed: " + source;
  for (std::size_t start = 0; start < reason.size();) {
    const std::size_t end = std::min(reason.find('\n', start), reason.size());
    text += "\n  " + reason.substr(start, end - start);
    start = end + 1;
  }
  return text;
}

// Each file's conversion, a run of this program for one file: its progress
// and its end as the user reads them, and whether it was written.
class BatchOutcomes : public shell::ProcessPoolObserver {
 public:
  BatchOutcomes(const BatchPlan& plan, BatchProgress& progress)
      : plan_(plan), progress_(progress), written_(plan.items.size(), false) {}

  void SetPool(const shell::ProcessPool* pool) { pool_ = pool; }

  void OnStarted(std::size_t file) override { progress_.Begin(file, plan_.items[file].source); }
  void OnOutputLine(std::size_t file, const std::string& line) override {
    if (const auto snapshot = ReadProgressReport(line)) progress_.Show(file, *snapshot);
  }
  void OnEnded(std::size_t file, const shell::ProcessEnd& end) override {
    progress_.End(file, EndText(file, end));
  }

  std::size_t Written() const {
    return static_cast<std::size_t>(std::count(written_.begin(), written_.end(), true));
  }

 private:
  std::string EndText(std::size_t file, const shell::ProcessEnd& end) {
    using Kind = shell::ProcessEnd::Kind;
    const BatchItem& item = plan_.items[file];
    const bool exited = end.kind == Kind::Exited;
    if (exited && end.exitCode == 0) {
      written_[file] = true;
      return DoneText(item.output);
    }
    if (end.kind == Kind::NotStarted)
      return "Not converted: " + item.source + " (stopped before its turn)";
    // A conversion that the stop reached before it watched for Ctrl+C ended
    // at once, before it began its file.
    if ((exited && end.exitCode == kStoppedStatus) ||
        (end.kind == Kind::Crashed && pool_ && pool_->Interrupted()))
      return HasContent(item.output) ? StoppedText(item.output)
                                     : "Stopped: " + item.source + " before its file was begun";
    std::string reason = Trimmed(end.errorOutput);
    if (end.kind == Kind::FailedToStart)
      reason = "its conversion could not be started: " + end.failure;
    else if (end.kind == Kind::Crashed)
      reason = "its conversion crashed" + (reason.empty() ? std::string() : ":\n" + reason);
    else if (reason.empty())
      reason = "its conversion ended with status " + std::to_string(end.exitCode);
    return FailureText(item.source, reason);
  }

  const BatchPlan& plan_;
  BatchProgress& progress_;
  const shell::ProcessPool* pool_ = nullptr;
  std::vector<bool> written_;
};

}  // namespace

int ConvertMany(const ConvertCommand& command, bool terminal) {
  ConvertOptions options = command.options;
  const OutputFormat* format = FindSupportedFormat(options.format.value_or(ReadOutputFormat()));
  if (!format) return 1;
  // Every conversion writes the format the plan named its file for, even
  // if the stored settings change meanwhile.
  options.format = format->id;

  std::error_code error;
  const fs::path folder = fs::absolute(command.outputFolder).lexically_normal();
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder)) {
    std::cerr << "reelcast-convert: cannot write into the folder " << folder.string()
              << (error ? ": " + error.message() : std::string(": it is not a folder")) << '\n';
    return 1;
  }

  std::vector<BatchSource> sources;
  for (const std::string& given : command.sources) sources.push_back({given, Resolved(given)});
  const BatchPlan plan = PlanBatch(sources, Resolved(folder.string()), format->extension);

  BatchProgress progress(std::cerr, terminal, terminal ? TerminalWidth() : 0);
  for (const std::string& note : plan.notes) progress.Say(note);
  // Conversions side by side share the cores.
  const int together =
      std::max(1, std::min<int>(command.jobs, static_cast<int>(plan.items.size())));
  if (!options.threads) options.threads = std::max(1, gst::AvailableCores() / together);
  std::vector<std::vector<std::string>> commandLines;
  for (const BatchItem& item : plan.items) {
    options.source = item.source;
    options.output = item.output;
    commandLines.push_back(OneFileCommandLine(options, true));
  }

  BatchOutcomes outcomes(plan, progress);
  bool stopped = false;
  {
    InterruptWatch watch;
    shell::ProcessPool conversions(shell::ExecutablePath(), std::move(commandLines), command.jobs,
                                   outcomes);
    outcomes.SetPool(&conversions);
    conversions.Start();
    ui::RunMessageLoop(
        [&] {
          if (watch.Interrupted() && !stopped) {
            stopped = true;
            progress.Say("Stopping...");
            conversions.Interrupt();
          }
          return conversions.Done();
        },
        kInterruptCheckMilliseconds);
  }
  const std::size_t written = outcomes.Written();
  progress.Say(std::to_string(written) + " of " + std::to_string(plan.items.size()) +
               " files written");
  if (written == plan.items.size()) return 0;
  return stopped ? kStoppedStatus : 1;
}
