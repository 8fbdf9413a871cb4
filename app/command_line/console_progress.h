#pragma once
// How far a run of reelcast-convert is, on standard error: one line a
// second for scripts and logs; on a terminal one line that is rewritten in
// place and also says how much time is left. A run started by another
// reelcast-convert reports numbers to it instead (progress_report.h).

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "app/shared/run_progress.h"

struct ProgressSnapshot {
  std::int32_t elapsedSeconds = 0;
  // The position and duration of the run in 100-ns units, when the graph
  // knows them.
  std::optional<std::int64_t> position;
  std::optional<std::int64_t> duration;
};

// "Please wait... Used Time: 00:01:05  42%", and with `withTimeLeft`
// "  00:01:30 left" after it once the estimate has settled. `estimate`
// follows the run from snapshot to snapshot.
std::string ProgressLine(const ProgressSnapshot& snapshot, RunProgress& estimate,
                         bool withTimeLeft);

enum class ProgressStyle { Lines, Terminal, Report };

class ConsoleProgress {
 public:
  ConsoleProgress(std::ostream& out, ProgressStyle style) : out_(out), style_(style) {}
  ~ConsoleProgress() { Break(); }
  ConsoleProgress(const ConsoleProgress&) = delete;
  ConsoleProgress& operator=(const ConsoleProgress&) = delete;

  // The line of ProgressLine: on a line of its own for Lines, written over
  // the line before for Terminal, as a report line for Report.
  void Show(const ProgressSnapshot& snapshot);
  // Ends the line being rewritten, so that the next text starts a line of
  // its own. Does nothing when no such line is open.
  void Break();

 private:
  std::ostream& out_;
  ProgressStyle style_;
  RunProgress estimate_;
  std::size_t openLength_ = 0;  // length of the line being rewritten; 0: none
};
