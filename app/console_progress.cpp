#include "app/console_progress.h"

#include <algorithm>

#include "app/status_texts.h"

void ConsoleProgress::Show(const ProgressSnapshot& snapshot) {
  std::string line = ElapsedText(snapshot.elapsedSeconds);
  std::optional<RunProgress::View> view;
  if (snapshot.position && snapshot.duration && *snapshot.duration > 0)
    view = estimate_.Update(std::int64_t{snapshot.elapsedSeconds} * 1000, *snapshot.position,
                            *snapshot.duration);
  if (view) line += "  " + std::to_string(view->percent) + "%";
  if (!terminal_) {
    out_ << line << '\n' << std::flush;
    return;
  }
  if (view && view->secondsLeft) line += "  " + Clock(*view->secondsLeft) + " left";
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
