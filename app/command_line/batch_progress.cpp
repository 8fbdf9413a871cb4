#include "app/command_line/batch_progress.h"

#include <algorithm>

#include "app/shared/status_texts.h"
#include "platform/text/utf8.h"

namespace {

constexpr const char* kEraseLine = "\x1b[2K";
constexpr const char* kEraseBelow = "\x1b[J";
constexpr const char* kEllipsis = "...";

// The end of `text` in at most `bytes` bytes, starting at a character.
std::string Tail(const std::string& text, std::size_t bytes) {
  std::size_t from = text.size() - std::min(bytes, text.size());
  while (from < text.size() && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80) ++from;
  return text.substr(from);
}

}  // namespace

BatchProgress::BatchProgress(std::ostream& out, bool terminal, std::size_t width)
    : out_(out), terminal_(terminal), width_(width) {}

BatchProgress::Live* BatchProgress::Find(std::size_t file) {
  const auto found =
      std::find_if(live_.begin(), live_.end(), [&](const Live& l) { return l.file == file; });
  return found == live_.end() ? nullptr : &*found;
}

void BatchProgress::Begin(std::size_t file, const std::string& name) {
  live_.push_back({file, text::EscapedForTerminal(name), {}, ElapsedText(0)});
  if (terminal_) Redraw({});
}

void BatchProgress::Show(std::size_t file, const ProgressSnapshot& snapshot) {
  Live* live = Find(file);
  if (!live) return;
  live->state = ProgressLine(snapshot, live->estimate, terminal_);
  if (terminal_) Redraw({});
  else out_ << live->name << ": " << live->state << '\n' << std::flush;
}

void BatchProgress::End(std::size_t file, const std::string& text) {
  live_.erase(
      std::remove_if(live_.begin(), live_.end(), [&](const Live& l) { return l.file == file; }),
      live_.end());
  Say(text);
}

void BatchProgress::Say(const std::string& said) {
  // File names need not be UTF-8, and what a conversion said may hold them.
  const std::string shown = text::EscapedForTerminal(said);
  if (!terminal_) {
    out_ << shown << '\n' << std::flush;
    return;
  }
  Redraw(shown);
}

std::string BatchProgress::Fit(const Live& live) const {
  std::string line = live.name + ": " + live.state;
  // One column is kept free: a line that fills the last one wraps on some
  // terminals, and the lines drawn could no longer be counted.
  if (width_ == 0 || line.size() < width_) return line;
  const std::size_t room = width_ - 1;
  const std::size_t fixed = 2 + live.state.size() + std::string(kEllipsis).size();
  if (room > fixed) return kEllipsis + Tail(live.name, room - fixed) + ": " + live.state;
  return line.substr(0, room);
}

void BatchProgress::Redraw(const std::string& above) {
  std::string text;
  if (drawn_ > 0) text += "\x1b[" + std::to_string(drawn_) + "A";
  text += '\r';
  std::size_t start = 0;
  while (!above.empty() && start <= above.size()) {
    const std::size_t end = std::min(above.find('\n', start), above.size());
    text += kEraseLine + above.substr(start, end - start) + '\n';
    start = end + 1;
  }
  for (const Live& live : live_) text += kEraseLine + Fit(live) + '\n';
  text += kEraseBelow;
  out_ << text << std::flush;
  drawn_ = live_.size();
}
