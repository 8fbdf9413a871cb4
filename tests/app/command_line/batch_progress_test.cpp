#include "app/command_line/batch_progress.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

constexpr std::int64_t kSecond = 10'000'000;

ProgressSnapshot At(std::int32_t elapsed, std::int64_t position, std::int64_t duration) {
  return ProgressSnapshot{elapsed, position, duration};
}

// What a terminal shows after the text: the control sequences the progress
// uses (carriage return, line feed, cursor up, erase line, erase below)
// carried out on a screen of lines.
std::vector<std::string> Screen(const std::string& text) {
  std::vector<std::string> lines(1);
  std::size_t row = 0, column = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      column = 0;
    } else if (c == '\n') {
      if (++row == lines.size()) lines.emplace_back();
      column = 0;
    } else if (c == '\x1b') {
      const std::size_t end = text.find_first_of("AKJ", i);
      const std::string argument = text.substr(i + 2, end - i - 2);
      if (text[end] == 'A') row -= std::min<std::size_t>(row, std::stoul(argument));
      if (text[end] == 'K') lines[row].clear();
      if (text[end] == 'J') {
        lines[row].resize(std::min(column, lines[row].size()));
        lines.resize(row + 1);
      }
      i = end;
    } else {
      if (lines[row].size() <= column) lines[row].resize(column + 1, ' ');
      lines[row][column++] = c;
    }
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

TEST(BatchProgress, OnATerminalTheFilesBeingConvertedKeepALineEachUpdatedInPlace) {
  std::ostringstream out;
  BatchProgress progress(out, true, 80);
  progress.Say("b.mp4: written to /out/b-2.wmv");
  progress.Begin(0, "a.mp4");
  progress.Begin(1, "b.mp4");
  progress.Show(1, At(1, 1 * kSecond, 10 * kSecond));
  progress.Show(0, At(4, 2 * kSecond, 10 * kSecond));
  progress.Show(1, At(4, 5 * kSecond, 10 * kSecond));
  EXPECT_EQ(
      Screen(out.str()),
      (std::vector<std::string>{"b.mp4: written to /out/b-2.wmv",
                                "a.mp4: Please wait... Used Time: 00:00:04  20%  00:00:16 left",
                                "b.mp4: Please wait... Used Time: 00:00:04  50%  00:00:04 left"}));
  // A file's end takes its place above the files still being converted.
  progress.End(0, "Failed: a.mp4\n  Error: cannot read it");
  progress.Begin(2, "c.mp4");
  progress.End(1, "Done: /out/b-2.wmv");
  EXPECT_EQ(Screen(out.str()),
            (std::vector<std::string>{"b.mp4: written to /out/b-2.wmv", "Failed: a.mp4",
                                      "  Error: cannot read it", "Done: /out/b-2.wmv",
                                      "c.mp4: Please wait... Used Time: 00:00:00"}));
  progress.End(2, "Done: /out/c.wmv");
  progress.Say("3 of 3 files written");
  EXPECT_EQ(Screen(out.str()).back(), "3 of 3 files written");
  EXPECT_EQ(Screen(out.str()).size(), 6u);
}

TEST(BatchProgress, ALineLongerThanTheTerminalKeepsTheEndOfTheNameAndTheProgress) {
  std::ostringstream out;
  BatchProgress progress(out, true, 60);
  progress.Begin(0,
                 "/a/very/long/folder/name/with/many/parts/and/a/clip named \xc3\xa9t\xc3\xa9.mp4");
  progress.Show(0, At(1, 1 * kSecond, 10 * kSecond));
  const auto screen = Screen(out.str());
  ASSERT_EQ(screen.size(), 1u);
  EXPECT_LT(screen[0].size(), 60u);
  EXPECT_EQ(screen[0].rfind("...", 0), 0u) << screen[0];
  EXPECT_NE(screen[0].find("\xc3\xa9t\xc3\xa9.mp4: Please wait... Used Time: 00:00:01  10%"),
            std::string::npos)
      << screen[0];
}

TEST(BatchProgress, ScriptsGetPlainLinesEachLedByItsFilesName) {
  std::ostringstream out;
  BatchProgress progress(out, false, 0);
  progress.Begin(0, "a.mp4");
  progress.Begin(1, "b.mp4");
  progress.Show(0, At(1, 1 * kSecond, 10 * kSecond));
  progress.Show(1, At(4, 5 * kSecond, 10 * kSecond));
  progress.End(0, "Done: /out/a.wmv");
  progress.Show(0, At(5, 1 * kSecond, 10 * kSecond));  // after its end: nothing
  progress.Say("1 of 2 files written");
  EXPECT_EQ(out.str(),
            "a.mp4: Please wait... Used Time: 00:00:01  10%\n"
            "b.mp4: Please wait... Used Time: 00:00:04  50%\n"
            "Done: /out/a.wmv\n"
            "1 of 2 files written\n");
}

}  // namespace
