#include "app/command_line/console_progress.h"

#include <algorithm>

#include "app/command_line/progress_report.h"
#include "app/shared/status_texts.h"

std::string ProgressLine(const ProgressSnapshot& snapshot, RunProgress& estimate,
                         bool withTimeLeft) {
  std::string line = ElapsedText(snapshot.elapsedSeconds);
  std::optional<RunProgress::View> view;
  if (snapshot.position && snapshot.duration && *snapshot.duration > 0)
    view = estimate.Update(std::int64_t{snapshot.elapsedSeconds} * 1000, *snapshot.position,
                           *snapshot.duration);
  if (view) line += "  " + std::to_string(view->percent) + "%";
  if (withTimeLeft && view && view->secondsLeft) line += "  " + Clock(*view->secondsLeft) + " left";
  return line;
}

void ConsoleProgress::Show(const ProgressSnapshot& snapshot) {
  if (style_ == ProgressStyle::Report) {
    out_ << ProgressReportLine(snapshot) << '\n' << std::flush;
    return;
  }
  const bool terminal = style_ == ProgressStyle::Terminal;
  std::string line = ProgressLine(snapshot, estimate_, terminal);
  if (!terminal) {
    out_ << line << '\n' << std::flush;
    return;
  }
  // Blanks over what a longer line before left behind.
  const std::size_t length = line.size();
  if (openLength_ > length) line.append(openLength_ - length, ' ');
  out_ << '\r' << line << std::flush;
  openLength_ = std::max<std::size_t>(length, 1);
}

void ConsoleProgress::Break() {
  if (openLength_ == 0) return;
  out_ << '\n' << std::flush;
  openLength_ = 0;
}
