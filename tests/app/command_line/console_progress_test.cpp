#include "app/command_line/console_progress.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>

#include "app/command_line/progress_report.h"

namespace {

constexpr std::int64_t kSecond = 10'000'000;

ProgressSnapshot At(std::int32_t elapsed, std::int64_t position, std::int64_t duration) {
  ProgressSnapshot s;
  s.elapsedSeconds = elapsed;
  s.position = position;
  s.duration = duration;
  return s;
}

// What the progress wrote for the snapshots, shown in turn, and a break.
std::string Written(ProgressStyle style, std::initializer_list<ProgressSnapshot> snapshots) {
  std::ostringstream out;
  ConsoleProgress progress(out, style);
  for (const ProgressSnapshot& snapshot : snapshots) progress.Show(snapshot);
  progress.Break();
  return out.str();
}

TEST(ConsoleProgress, ScriptsGetOneLineEachTime) {
  EXPECT_EQ(Written(ProgressStyle::Lines,
                    {At(1, 6 * kSecond, 60 * kSecond), At(65, 60 * kSecond, 60 * kSecond),
                     ProgressSnapshot{2, std::nullopt, std::nullopt}}),
            "Please wait... Used Time: 00:00:01  10%\n"
            "Please wait... Used Time: 00:01:05  100%\n"
            "Please wait... Used Time: 00:00:02\n");
}

TEST(ConsoleProgress, ATerminalGetsOneLineRewrittenInPlaceWithTheTimeLeft) {
  std::ostringstream out;
  {
    ConsoleProgress progress(out, ProgressStyle::Terminal);
    progress.Show(At(1, 1 * kSecond, 40 * kSecond));
    progress.Show(At(4, 10 * kSecond, 40 * kSecond));
    progress.Show(At(5, 12 * kSecond, 40 * kSecond));
    progress.Break();
    progress.Break();  // nothing left to end
    progress.Show(At(6, 20 * kSecond, 40 * kSecond));
  }  // the line is ended when the progress goes
  EXPECT_EQ(out.str(),
            "\rPlease wait... Used Time: 00:00:01  2%"
            "\rPlease wait... Used Time: 00:00:04  25%  00:00:12 left"
            "\rPlease wait... Used Time: 00:00:05  30%  00:00:12 left"
            "\n"
            "\rPlease wait... Used Time: 00:00:06  50%  00:00:06 left\n");
}

TEST(ConsoleProgress, AShorterLineBlanksWhatTheLongerOneLeft) {
  std::ostringstream out;
  ConsoleProgress progress(out, ProgressStyle::Terminal);
  progress.Show(At(4, 10 * kSecond, 40 * kSecond));
  progress.Show(ProgressSnapshot{5, std::nullopt, std::nullopt});
  const std::string second = out.str().substr(out.str().rfind('\r'));
  EXPECT_EQ(second, "\rPlease wait... Used Time: 00:00:05" + std::string(20, ' '));
}

TEST(ConsoleProgress, ARunStartedForOneFileOfManyReportsNumbersThatReadBack) {
  EXPECT_EQ(Written(ProgressStyle::Report, {At(3, 12 * kSecond, 40 * kSecond),
                                            ProgressSnapshot{4, std::nullopt, std::nullopt}}),
            "progress 3 120000000 400000000\nprogress 4 - -\n");

  const auto back = ReadProgressReport("progress 3 120000000 400000000");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->elapsedSeconds, 3);
  EXPECT_EQ(back->position, 12 * kSecond);
  EXPECT_EQ(back->duration, 40 * kSecond);
  const auto unknown = ReadProgressReport("progress 4 - -\r");
  ASSERT_TRUE(unknown);
  EXPECT_FALSE(unknown->position || unknown->duration);
  for (const char* other :
       {"", "progress", "progress 1 2", "progress 1 2 3 4", "progress x 2 3", "progress 1 2x 3",
        "Please wait... Used Time: 00:00:01  10%", "progress 99999999999 1 2"})
    EXPECT_FALSE(ReadProgressReport(other)) << other;
}

}  // namespace
