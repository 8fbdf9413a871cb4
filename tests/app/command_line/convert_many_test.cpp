// Many files with one command, as a script and a terminal run it: the built
// reelcast-convert starting one conversion process per file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/child_process.h"
#include "tests/support/convert_program.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/run_output.h"
#include "tests/support/waiting.h"

namespace {

namespace fs = std::filesystem;
using test_support::Clip;
using test_support::ClipKind;
using test_support::ConvertFinished;
using test_support::RunConvert;

QString Q(const std::string& text) { return QString::fromStdString(text); }

QStringList Arguments(const std::vector<std::string>& texts) {
  QStringList list;
  for (const std::string& text : texts) list << Q(text);
  return list;
}

std::string Stem(const std::string& path) { return fs::path(path).stem().string(); }

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// What an independent decoder sees in a file, in a form two files of the
// same conversion share.
std::string Facts(const std::string& path) {
  const auto report = test_support::FfProbe(path);
  if (!report.ok) return "unreadable: " + report.error;
  std::string facts = "duration " + std::to_string(static_cast<int>(report.duration * 10));
  for (const auto& stream : report.streams)
    facts += "; " + stream.codecType + " " + stream.codecName + " " + std::to_string(stream.width) +
             "x" + std::to_string(stream.height) + " " + std::to_string(stream.sampleRate) +
             " Hz " + std::to_string(stream.channels) + " ch";
  return facts;
}

TEST(ConvertMany, ABrokenSourceIsNamedAndTheOthersAreWrittenTheSameWithOneJobOrTwo) {
  const std::vector<std::string> sources = {
      Clip(ClipKind::Mp4H264Aac), Clip(ClipKind::TruncatedMp4), Clip(ClipKind::AviMpeg4Mp3)};
  std::vector<std::string> folders;
  for (const char* jobs : {"1", "2"}) {
    SCOPED_TRACE(std::string("--jobs ") + jobs);
    // The folder is made by the run.
    const std::string folder = gst_test::OutputPath("many") + "/wmv";
    folders.push_back(folder);
    std::vector<std::string> arguments = {"--format=1", "--jobs", jobs, "--output-dir", folder};
    arguments.insert(arguments.end(), sources.begin(), sources.end());
    const ConvertFinished run = RunConvert(Arguments(arguments));
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_TRUE(Contains(run.errors, "Failed: " + sources[1] + "\n  ")) << run.errors;
    EXPECT_TRUE(Contains(run.errors, "2 of 3 files written")) << run.errors;
    EXPECT_FALSE(fs::exists(folder + "/" + Stem(sources[1]) + ".wmv"));
    for (const std::string& source : {sources[0], sources[2]}) {
      const std::string output = folder + "/" + Stem(source) + ".wmv";
      EXPECT_TRUE(Contains(run.errors, "Done: " + output)) << run.errors;
      const auto report = test_support::FfProbe(output);
      ASSERT_TRUE(report.ok) << report.error;
      EXPECT_EQ(report.First("video").codecName, "wmv2");
      EXPECT_EQ(report.First("audio").codecName, "wmav2");
      EXPECT_NEAR(report.duration, 2.0, 0.2);
      EXPECT_EQ(test_support::DecodeErrors(output), "");
    }
  }
  // The encoders are not asked to be deterministic (the header states when
  // the file was made): the same streams and durations, sizes within 1 %.
  for (const std::string& source : {sources[0], sources[2]}) {
    const std::string name = "/" + Stem(source) + ".wmv";
    EXPECT_EQ(Facts(folders[0] + name), Facts(folders[1] + name));
    const double one = static_cast<double>(fs::file_size(folders[0] + name));
    const double two = static_cast<double>(fs::file_size(folders[1] + name));
    EXPECT_NEAR(two / one, 1.0, 0.01) << name;
  }
}

TEST(ConvertMany, SourcesOfOneNameKeepBothFilesAndAnExistingOutputIsReplacedOnlyWhenAsked) {
  const fs::path home = fs::path(gst_test::OutputPath("same-name"));
  fs::create_directories(home / "sub");
  fs::copy_file(Clip(ClipKind::Mp4H264Aac), home / "clip.mp4");
  fs::copy_file(Clip(ClipKind::AviMpeg4Mp3), home / "sub" / "clip.avi");
  fs::create_directories(home / "out");
  std::ofstream(home / "out" / "clip.wmv") << "the user's own file";

  std::vector<std::string> arguments = {"--format=1", "--output-dir", "out",
                                        "--jobs=2",   "clip.mp4",     "sub/clip.avi"};
  ConvertFinished run = RunConvert(Arguments(arguments), {}, home.string());
  EXPECT_EQ(run.status, 1) << run.errors;
  const std::string out = (home / "out").string();
  EXPECT_TRUE(Contains(run.errors, "sub/clip.avi: written to " + out + "/clip-2.wmv, as " + out +
                                       "/clip.wmv is another source's"))
      << run.errors;
  EXPECT_TRUE(Contains(run.errors, "Failed: clip.mp4\n  ")) << run.errors;
  EXPECT_TRUE(Contains(run.errors, "give --yes to replace the file")) << run.errors;
  std::ifstream kept(home / "out" / "clip.wmv");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "the user's own file");
  EXPECT_EQ(test_support::FfProbe(out + "/clip-2.wmv").First("video").codecName, "wmv2");

  arguments.push_back("--yes");
  run = RunConvert(Arguments(arguments), {}, home.string());
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_TRUE(Contains(run.errors, "2 of 2 files written")) << run.errors;
  EXPECT_EQ(test_support::FfProbe(out + "/clip.wmv").First("video").codecName, "wmv2");
  EXPECT_TRUE(fs::exists(home / "clip.mp4") && fs::exists(home / "sub" / "clip.avi"));
}

TEST(ConvertMany, CtrlCStopsEveryConversionLeavesPlayableFilesAndStartsNoOther) {
  const fs::path home = fs::path(gst_test::OutputPath("stopped"));
  fs::create_directories(home);
  // Two long sources under names of their own, and one that waits its turn.
  for (const char* name : {"first.mp4", "second.mp4"})
    fs::copy_file(Clip(ClipKind::Mp4Hd20s), home / name);
  const std::string folder = (home / "out").string();
  const std::vector<std::string> arguments = {"--format=2",
                                              "--video-compressor=x264",
                                              "--audio-compressor=vorbis",
                                              "--jobs=2",
                                              "--output-dir",
                                              folder,
                                              (home / "first.mp4").string(),
                                              (home / "second.mp4").string(),
                                              Clip(ClipKind::Mp4H264Aac)};
  const auto written = [&](const std::string& name) {
    return test_support::BytesWrittenToward(folder + "/" + name) >= 100'000;
  };
  // Ctrl+C reaches the command alone, once both conversions have written
  // frames: it passes the stop on itself.
  const ConvertFinished run = RunConvert(
      Arguments(arguments), [&] { return written("first.mkv") && written("second.mkv"); });
  EXPECT_EQ(run.status, 130) << run.errors;
  const auto stopping = run.errors.find("Stopping...");
  ASSERT_NE(stopping, std::string::npos) << run.errors;
  EXPECT_EQ(run.errors.find("Stopping...", stopping + 1), std::string::npos) << "said once";
  for (const char* name : {"first.mkv", "second.mkv"}) {
    const std::string output = folder + "/" + name;
    EXPECT_TRUE(Contains(run.errors, "Stopped: " + output + " holds what was converted so far"))
        << run.errors;
    const auto report = test_support::FfProbe(output);
    ASSERT_TRUE(report.ok) << report.error;
    EXPECT_LT(report.duration, 19.0);
    EXPECT_EQ(test_support::DecodeErrors(output), "");
  }
  const std::string waiting = Clip(ClipKind::Mp4H264Aac);
  EXPECT_TRUE(Contains(run.errors, "Not converted: " + waiting + " (stopped before its turn)"))
      << run.errors;
  EXPECT_FALSE(fs::exists(folder + "/" + Stem(waiting) + ".mkv"));
  EXPECT_TRUE(Contains(run.errors, "0 of 3 files written")) << run.errors;
}

TEST(ConvertMany, OnATerminalEachFileHasALineUpdatedInPlace) {
  const std::string folder = gst_test::OutputPath("terminal-many");
  const std::string shown = test_support::RunConvertOnATerminal(
      {"--format=1", "--jobs=2", "--output-dir", folder, Clip(ClipKind::Mp4H264Aac),
       Clip(ClipKind::MkvVp8Vorbis)});
  EXPECT_TRUE(
      Contains(shown, "\x1b[2K" + Clip(ClipKind::Mp4H264Aac) + ": Please wait... Used Time: "))
      << shown;
  EXPECT_TRUE(Contains(shown, "\x1b[1A") || Contains(shown, "\x1b[2A"))
      << "lines rewritten: " << shown;
  for (const ClipKind kind : {ClipKind::Mp4H264Aac, ClipKind::MkvVp8Vorbis})
    EXPECT_TRUE(Contains(shown, "Done: " + folder + "/" + Stem(Clip(kind)) + ".wmv")) << shown;
  EXPECT_TRUE(Contains(shown, "2 of 2 files written")) << shown;
}

// A file name need not be UTF-8: the batch converts what a single run
// converts, and shows such a name's stray bytes escaped, never raw.
TEST(ConvertMany, ANameThatIsNotUtf8IsConvertedAndShownEscaped) {
  const fs::path home = gst_test::OutputPath("latin1");
  fs::create_directories(home);
  const std::string source = (home / "caf\xe9.mp4").string();
  fs::copy_file(Clip(ClipKind::Mp4H264Aac), source);
  const auto run = test_support::RunChild(test_support::ConvertProgram(),
                                          {"--format=1", "--output-dir", home.string(), source});
  ASSERT_TRUE(run.exited) << run.err;
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test_support::DecodeErrors((home / "caf\xe9.wmv").string()), "");
  EXPECT_TRUE(Contains(run.err, "caf\\xe9.wmv")) << run.err;
  EXPECT_FALSE(Contains(run.err, "\xe9")) << "no raw byte reaches the terminal";
}

// The conversions of a batch end with it, even when it is killed outright.
TEST(ConvertMany, ConversionsEndWithABatchThatIsKilled) {
  const std::string folder = gst_test::OutputPath("orphans");
  test_support::ChildOptions options;
  const std::string output = folder + "/" + Stem(gst_test::LongClip()) + ".mkv";
  options.interruptWhen = [&] { return test_support::BytesWrittenToward(output) > 0; };
  options.interruptSignal = SIGKILL;
  const auto run =
      test_support::RunChild(test_support::ConvertProgram(),
                             {"--format=2", "--video-compressor=x264", "--audio-compressor=vorbis",
                              "--output-dir", folder, gst_test::LongClip()},
                             options);
  ASSERT_TRUE(run.started);
  // Its conversion is the only process whose command line names the folder.
  const auto converting = [&] {
    for (const fs::directory_entry& process : fs::directory_iterator("/proc")) {
      std::ifstream line(process.path() / "cmdline");
      const std::string text{std::istreambuf_iterator<char>(line), {}};
      if (Contains(text, folder)) return true;
    }
    return false;
  };
  EXPECT_TRUE(test_support::WaitUntil([&] { return !converting(); }));
  // Stopped as the batch went, not run on to the end of the source.
  if (fs::exists(output)) {
    EXPECT_LT(test_support::FfProbe(output).duration, 25.0);
  }
}

}  // namespace
