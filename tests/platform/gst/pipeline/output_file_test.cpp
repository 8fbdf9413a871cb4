// A run writes under a temporary name and takes the output's name only at
// its end; what a killed run left is cleared by the next run into the folder.

#include "platform/gst/pipeline/output_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/gst_test_media.h"
#include "tests/support/run_output.h"

namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Of two runs on one name, neither touches the other's file, and the later
// to end gives the name its file; a run that fails leaves the name as it was.
TEST(OutputFile, TheLaterRunToEndTakesTheNameAndAFailedOneLeavesIt) {
  const std::string output = gst_test::OutputPath("shared/clip.wmv");
  fs::create_directories(fs::path(output).parent_path());
  std::ofstream(output) << "the user's own file";
  {
    auto first = gst::OutputFile::Begin(output);
    auto second = gst::OutputFile::Begin(output);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->WritingPath(), second->WritingPath());
    EXPECT_TRUE(gst::IsTemporaryOutputName(fs::path(first->WritingPath()).filename().string()));
    std::ofstream(first->WritingPath()) << "first";
    std::ofstream(second->WritingPath()) << "second";
    auto failed = gst::OutputFile::Begin(output);
    ASSERT_TRUE(failed);
    std::ofstream(failed->WritingPath()) << "cut off";
    EXPECT_EQ(Contents(output), "the user's own file") << "nothing is replaced while runs write";
    ASSERT_TRUE(second->Keep());
    ASSERT_TRUE(first->Keep());
  }
  EXPECT_EQ(Contents(output), "first");
  EXPECT_EQ(test_support::WritingToward(output), "") << "no temporary file is left";
}

// A run killed while it wrote leaves its temporary file unlocked and its
// process gone: the next run removes it, and leaves alone a file whose
// writer lives.
TEST(OutputFile, AbandonedFilesAreRemovedAndLiveOnesKept) {
  const std::string output = gst_test::OutputPath("abandoned/clip.mkv");
  const fs::path folder = fs::path(output).parent_path();
  fs::create_directories(folder);
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_GT(gone, 0);
  waitpid(gone, nullptr, 0);
  const fs::path abandoned = folder / (".clip.mkv.reelcast-" + std::to_string(gone) + "-aB3dE9");
  std::ofstream(abandoned) << "killed";
  const fs::path unrelated = folder / ".clip.mkv.reelcast-notes";
  std::ofstream(unrelated) << "not ours";
  auto live = gst::OutputFile::Begin(output);
  ASSERT_TRUE(live);
  EXPECT_FALSE(fs::exists(abandoned));
  EXPECT_TRUE(fs::exists(unrelated));
  auto next = gst::OutputFile::Begin(output);
  ASSERT_TRUE(next);
  EXPECT_TRUE(fs::exists(live->WritingPath())) << "its writer still holds it";
}

}  // namespace
