#pragma once
// The progress of a many-file run on standard error, one line per file. On
// a terminal the lines of the files being converted stay at the bottom and
// are updated in place, and each file's closing line takes its place above
// them; scripts get plain lines, each progress line led by its file's name.

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "app/command_line/console_progress.h"

class BatchProgress {
 public:
  // `width` is the terminal's width in columns: a file's line is cut to it
  // (0: unknown, not cut).
  BatchProgress(std::ostream& out, bool terminal, std::size_t width);
  BatchProgress(const BatchProgress&) = delete;
  BatchProgress& operator=(const BatchProgress&) = delete;

  // The conversion of file `file`, shown as `name`, has begun.
  void Begin(std::size_t file, const std::string& name);
  void Show(std::size_t file, const ProgressSnapshot& snapshot);
  // The file's line gives way to `text` (one or more lines), for good.
  void End(std::size_t file, const std::string& text);
  // `text` on a line of its own, above the files being converted.
  void Say(const std::string& text);

 private:
  struct Live {
    std::size_t file;
    std::string name;
    RunProgress estimate;
    std::string state;
  };

  Live* Find(std::size_t file);
  std::string Fit(const Live& live) const;
  // Writes `above` (when not empty) and the live lines over those drawn
  // before.
  void Redraw(const std::string& above);

  std::ostream& out_;
  bool terminal_;
  std::size_t width_;
  std::vector<Live> live_;
  std::size_t drawn_ = 0;  // live lines on the screen, above the cursor
};
