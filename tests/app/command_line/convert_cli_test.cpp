// The command-line converter as a script runs it: the built program, its
// exit status, what it says on standard error, and the file it writes.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QSettings>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/command_line/convert_options.h"
#include "app/command_line/convert_session.h"
#include "app/shared/command_help.h"
#include "platform/gst/workarounds/registry.h"
#include "tests/support/child_process.h"
#include "tests/support/convert_program.h"
#include "tests/support/ffmpeg_clips.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/run_output.h"
#include "tests/support/test_environment.h"

namespace {

using test_support::Clip;
using test_support::ClipKind;

using Finished = test_support::ConvertFinished;

Finished Convert(const QStringList& arguments, const std::function<bool()>& interruptWhen = {},
                 const std::string& folder = {}) {
  return test_support::RunConvert(arguments, interruptWhen, folder);
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

TEST(ReelcastConvert, WritesTheFileAndSaysWhere) {
  const std::string output = gst_test::OutputPath("cli");
  const Finished run =
      Convert({Q(gst_test::LongClip()), Q(output), QStringLiteral("--format"), QStringLiteral("1"),
               QStringLiteral("--size"), QStringLiteral("320x240")});
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_NE(run.errors.find("Done: " + output + ".wmv"), std::string::npos) << run.errors;
  const auto report = test_support::FfProbe(output + ".wmv");
  ASSERT_TRUE(report.ok) << report.error;
  EXPECT_NEAR(report.duration, 30.0, 0.2);
  EXPECT_EQ(report.First("video").codecName, "wmv2");
  EXPECT_EQ(report.First("video").width, 320);
  EXPECT_EQ(test_support::DecodeErrors(output + ".wmv"), "");
}

TEST(ReelcastConvert, AFileNameStartingWithADashFollowsTheDoubleDash) {
  const std::string folder = std::filesystem::path(gst_test::OutputPath("odd")).parent_path();
  std::filesystem::copy_file(Clip(ClipKind::Mp4H264Aac), folder + "/-odd.mp4");
  const Finished run = Convert({QStringLiteral("--format=1"), QStringLiteral("--"),
                                QStringLiteral("-odd.mp4"), QStringLiteral("out.wmv")},
                               {}, folder);
  EXPECT_EQ(run.status, 0) << run.errors;
  const auto report = test_support::FfProbe(folder + "/out.wmv");
  ASSERT_TRUE(report.ok) << report.error;
  EXPECT_EQ(report.First("video").codecName, "wmv2");
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ReelcastConvert, ARunStoresNothing) {
  test_support::ResetSettings();
  const std::string config = test_support::HomeFolder() + "/config/TARNWICK/reelcast.conf";
  {
    QSettings stored(Q(config), QSettings::IniFormat);
    stored.setValue(QStringLiteral("Option/LastPhotoFolder"), QStringLiteral("/elsewhere/"));
    stored.setValue(QStringLiteral("Settings/nOuptputFormat"), 0);
    stored.setValue(QStringLiteral("DexVideoCompress/CompressorNumber"), -1);
  }
  const std::string before = Bytes(config);
  ASSERT_NE(before.find("LastPhotoFolder"), std::string::npos);

  const std::string output = gst_test::OutputPath("stores-nothing");
  const Finished run =
      Convert({Q(Clip(ClipKind::Mp4H264Aac)), Q(output), QStringLiteral("--format"),
               QStringLiteral("1"), QStringLiteral("--video-bitrate=300")});
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(Bytes(config), before);
  // Many files: neither the command nor its conversions store anything.
  const Finished many =
      Convert({QStringLiteral("--output-dir"), Q(output + "-many"), Q(Clip(ClipKind::Mp4H264Aac)),
               Q(Clip(ClipKind::AviMpeg4Mp3)), QStringLiteral("--video-bitrate=300")});
  EXPECT_EQ(many.status, 0) << many.errors;
  EXPECT_EQ(Bytes(config), before);
}

TEST(ReelcastConvert, UsageErrorsExitWithTwoAndSayWhy) {
  Finished run = Convert({QStringLiteral("--video-bitrate"), QStringLiteral("2097152"),
                          Q(Clip(ClipKind::Mp4H264Aac))});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.errors.find("--video-bitrate needs a whole number from 1 to 2097151"),
            std::string::npos)
      << run.errors;
  run = Convert({});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.errors.find("no SOURCE given"), std::string::npos) << run.errors;
  const std::string folder = gst_test::OutputPath("never-made");
  run = Convert({QStringLiteral("--output-dir"), Q(folder), QStringLiteral("--jobs=0"),
                 Q(Clip(ClipKind::Mp4H264Aac))});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.errors.find("--jobs needs a whole number from 1 to 64, not \"0\""),
            std::string::npos)
      << run.errors;
  EXPECT_FALSE(std::filesystem::exists(folder));
  // What the options name must exist: a compressor, an output that is a file.
  run = Convert({QStringLiteral("--video-compressor=no such thing"), Q(Clip(ClipKind::Mp4H264Aac)),
                 Q(folder)});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.errors.find("no video compressor matches \"no such thing\""), std::string::npos)
      << run.errors;
  run = Convert({Q(Clip(ClipKind::Mp4H264Aac)), Q(test_support::HomeFolder())});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.errors.find("is a folder; give a file name"), std::string::npos) << run.errors;
  EXPECT_FALSE(std::filesystem::exists(test_support::HomeFolder() + "/.wmv"));
}

TEST(ReelcastConvert, HelpVersionAndTheCompressorListGoToStandardOutput) {
  Finished run = Convert({QStringLiteral("-h")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, HelpText(ConvertCommandHelp()));
  run = Convert({QStringLiteral("--version")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output.rfind("reelcast-convert (Reelcast) ", 0), 0u) << run.output;
  run = Convert({QStringLiteral("--list-compressors")});
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.output, CompressorListing());
  // Each mend with whether its probe engaged it here.
  run = Convert({QStringLiteral("--list-workarounds")});
  EXPECT_EQ(run.status, 0) << run.errors;
  for (const gst::WorkaroundEntry& entry : gst::Workarounds())
    EXPECT_NE(run.output.find(std::string(entry.name) + " "), std::string::npos) << run.output;
}

std::string ConvertOnATerminal(const std::vector<std::string>& arguments) {
  return test_support::RunConvertOnATerminal(arguments);
}

TEST(ReelcastConvert, OnATerminalTheProgressIsOneLineUpdatedInPlaceWithTheTimeLeft) {
  const std::string output = gst_test::OutputPath("terminal");
  const std::string shown =
      ConvertOnATerminal({Clip(ClipKind::Mp4Hd20s), output, "--format=2", "--video-compressor=x264",
                          "--audio-compressor=vorbis"});
  const auto first = shown.find("\rPlease wait... Used Time: ");
  const auto last = shown.rfind("\rPlease wait... Used Time: ");
  ASSERT_NE(first, std::string::npos) << shown;
  ASSERT_NE(first, last) << "updated more than once: " << shown;
  EXPECT_EQ(shown.find('\n', first), shown.find('\n', last)) << "no line ends between updates";
  EXPECT_NE(shown.find("% "), std::string::npos) << shown;
  EXPECT_NE(shown.find(" left"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Done: " + output + ".mkv"), std::string::npos) << shown;
}

// Holds once the file at `path` has grown past its first frames.
std::function<bool()> FramesWritten(const std::string& path) {
  return [path] { return test_support::BytesWrittenToward(path) >= 100'000; };
}

// Under `nohup` the terminal going away leaves the run to finish its file.
TEST(ReelcastConvert, UnderNohupTheTerminalGoingAwayDoesNotStopTheRun) {
  const std::string output = gst_test::OutputPath("nohup");
  test_support::ChildOptions options;
  options.interruptWhen = FramesWritten(output + ".wmv");
  options.interruptSignal = SIGHUP;
  const test_support::ChildOutcome run =
      test_support::RunChild("/usr/bin/env",
                             {"--ignore-signal=HUP", test_support::ConvertProgram(),
                              Clip(ClipKind::Mp4Hd20s), output, "--format=1"},
                             options);
  ASSERT_TRUE(run.exited) << run.err;
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err.find("Stopping..."), std::string::npos) << run.err;
  const auto report = test_support::FfProbe(output + ".wmv");
  ASSERT_TRUE(report.ok) << report.error;
  EXPECT_NEAR(report.duration, 20.0, 0.5);
}

// A reader of the messages that goes away early does not end the run: the
// file is written whole and the status is the run's.
TEST(ReelcastConvert, AReaderThatGoesAwayDoesNotEndTheRun) {
  const std::string output = gst_test::OutputPath("unread");
  // Replacing a file makes the run write a line before it converts.
  std::ofstream(output + ".wmv") << "an earlier conversion";
  const test_support::ChildOutcome run = test_support::RunChild(
      "/bin/bash",
      {"-c", R"(set -o pipefail; env --default-signal=PIPE "$0" "$@" 2>&1 | head -c 1 >/dev/null)",
       test_support::ConvertProgram(), Clip(ClipKind::Mp4TwoMinutes), output, "--format=1",
       "--yes"});
  ASSERT_TRUE(run.exited) << run.err;
  EXPECT_EQ(run.status, 0) << run.err;
  const auto report = test_support::FfProbe(output + ".wmv");
  ASSERT_TRUE(report.ok) << report.error;
  EXPECT_NEAR(report.duration, 120.0, 1.0);
  EXPECT_EQ(test_support::DecodeErrors(output + ".wmv"), "");
}

// Ctrl+C, a request to end and the terminal going away (a closed window, a
// dropped SSH session) each stop the run as Ctrl+C does.
TEST(ReelcastConvert, CtrlCStopsOnceAndLeavesAPlayableFile) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    const std::string output = gst_test::OutputPath("interrupted");
    const Finished run = test_support::RunConvert(
        {Q(Clip(ClipKind::Mp4Hd20s)), Q(output), QStringLiteral("--format"), QStringLiteral("2"),
         QStringLiteral("--video-compressor"), QStringLiteral("x264"),
         QStringLiteral("--audio-compressor"), QStringLiteral("vorbis")},
        FramesWritten(output + ".mkv"), {}, signal);
    EXPECT_EQ(run.status, 130) << run.errors;
    const auto first = run.errors.find("Stopping...");
    ASSERT_NE(first, std::string::npos) << run.errors;
    EXPECT_EQ(run.errors.find("Stopping...", first + 1), std::string::npos) << "said once";
    const auto report = test_support::FfProbe(output + ".mkv");
    ASSERT_TRUE(report.ok) << report.error;
    EXPECT_LT(report.duration, 19.0);
    EXPECT_EQ(test_support::DecodeErrors(output + ".mkv"), "");
  }
}

TEST(ReelcastConvert, FailuresSayWhyAndWriteNothing) {
  const std::string output = gst_test::OutputPath("failed");
  Finished run = Convert(
      {Q(Clip(ClipKind::Mp4H264Aac)), Q(output), QStringLiteral("--format"), QStringLiteral("5")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("Please install DSM Splitter/Muxer codec)"), std::string::npos)
      << run.errors;
  EXPECT_FALSE(std::filesystem::exists(output + ".dsm"));

  run = Convert({Q(Clip(ClipKind::Mp4VideoOnly)), Q(output), QStringLiteral("--format"),
                 QStringLiteral("1")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("Cannot find audio renderer input pin!"), std::string::npos)
      << run.errors;
  EXPECT_FALSE(std::filesystem::exists(output + ".wmv"));

  // Messages in words, each on a line: no key names, none run together.
  run = Convert({Q(Clip(ClipKind::TextNamedMp4)), Q(output)});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.errors.find("IDS_"), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("the clip!\nCannot open the file."), std::string::npos) << run.errors;
}

// A phone held upright records its pictures sideways and notes the turn in
// the file; players turn them, and so must a converted file whose format
// keeps no such note: the same upright picture as ffmpeg shows, by a
// compressor (Windows Media) and raw (Matroska without a compressor).
TEST(ReelcastConvert, APhoneClipTakenUprightComesOutUpright) {
  const std::string source = test_support::Clip(test_support::FfmpegClip::PhoneUpright);
  for (const char* format : {"1", "2"}) {
    SCOPED_TRACE(format);
    const std::string output = gst_test::OutputPath("upright");
    const Finished run = Convert({Q(source), Q(output), QStringLiteral("--format"), Q(format)});
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::string written = output + (format == std::string("1") ? ".wmv" : ".mkv");
    const auto report = test_support::FfProbe(written);
    ASSERT_TRUE(report.ok) << report.error;
    EXPECT_EQ(report.First("video").width, 240);
    EXPECT_EQ(report.First("video").height, 320);
    EXPECT_GT(test_support::FirstPicturePsnr(written, source), 25);
  }
}

// A script may run it from a folder that has since been removed: a source
// named from there cannot be found, and it says so.
TEST(ReelcastConvert, AWorkingFolderThatIsGoneLeavesTheSourceUnfound) {
  const std::string folder = test_support::HomeFolder() + "/gone";
  std::filesystem::create_directories(folder);
  const test_support::ChildOutcome run = test_support::RunChild(
      "sh", {"-c", R"(cd "$1" && rmdir "$1" && exec "$2" --yes clip.mp4 out)", "sh", folder,
             test_support::ConvertProgram()});
  ASSERT_TRUE(run.exited) << run.err;
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot open clip.mp4: The system cannot find the file."),
            std::string::npos)
      << run.err;
}

// A source that is not a file is refused by its name before anything is
// opened, rather than taken for a file without decoders.
TEST(ReelcastConvert, ASourceThatIsNoFileIsRefusedByName) {
  const std::string home = test_support::HomeFolder();
  const std::string fifo = home + "/pipe.mp4";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_symlink(home + "/loop-b", home + "/loop-a");
  std::filesystem::create_symlink(home + "/loop-a", home + "/loop-b");
  for (const auto& [source, says] :
       {std::pair{home, "It is a folder, not a file."}, std::pair{fifo, "It is a pipe, not a file"},
        std::pair{std::string("/dev/zero"), "It is a device, not a file."},
        std::pair{home + "/loop-a", "loop of symbolic links"}}) {
    const std::string output = gst_test::OutputPath("from odd source");
    const Finished run = Convert({Q(source), Q(output)});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find(says), std::string::npos) << run.errors;
    EXPECT_EQ(run.errors.find("decoders"), std::string::npos) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(output + ".wmv"));
  }
}

}  // namespace
