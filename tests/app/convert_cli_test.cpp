// The command-line converter as a script runs it: the built program, its
// exit status, what it says on standard error, and the file it writes.

#include <gtest/gtest.h>

#include <signal.h>

#include <QProcess>
#include <filesystem>
#include <functional>

#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/waiting.h"

namespace {

using test_support::Clip;
using test_support::ClipKind;

struct Finished {
  int status = -1;
  std::string errors;
};

// Runs reelcast-convert, built beside this test, with this process's private
// home and settings; with `interruptWhen`, Ctrl+C reaches it as soon as that
// holds (unless it has ended by then).
Finished Convert(const QStringList& arguments, const std::function<bool()>& interruptWhen = {}) {
  const auto folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  QProcess process;
  process.start(QString::fromStdString((folder / "reelcast-convert").string()), arguments);
  Finished finished;
  if (interruptWhen && process.waitForStarted()) {
    test_support::WaitUntil([&] { return interruptWhen() || process.waitForFinished(10); });
    if (process.state() == QProcess::Running)
      ::kill(static_cast<pid_t>(process.processId()), SIGINT);
  }
  if (!process.waitForFinished(static_cast<int>(test_support::kHangGuardMilliseconds))) {
    process.kill();
    ADD_FAILURE() << "reelcast-convert did not finish";
    return finished;
  }
  finished.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  finished.errors = process.readAllStandardError().toStdString();
  return finished;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

TEST(ReelcastConvert, WritesTheFileAndSaysWhere) {
  const std::string output = gst_test::OutputPath("cli");
  const Finished run = Convert({Q(gst_test::LongClip()), Q(output), QStringLiteral("--format"),
                                QStringLiteral("1"), QStringLiteral("--size"),
                                QStringLiteral("320x240")});
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_NE(run.errors.find("Done: " + output + ".wmv"), std::string::npos) << run.errors;
  const auto report = test_support::FfProbe(output + ".wmv");
  ASSERT_TRUE(report.ok) << report.error;
  EXPECT_NEAR(report.duration, 30.0, 0.2);
  EXPECT_EQ(report.First("video").codecName, "wmv2");
  EXPECT_EQ(report.First("video").width, 320);
  EXPECT_EQ(test_support::DecodeErrors(output + ".wmv"), "");
}

TEST(ReelcastConvert, CtrlCStopsOnceAndLeavesAPlayableFile) {
  const std::string output = gst_test::OutputPath("interrupted");
  const Finished run = Convert({Q(Clip(ClipKind::Mp4Hd20s)), Q(output), QStringLiteral("--format"),
                                QStringLiteral("2"), QStringLiteral("--video-compressor"),
                                QStringLiteral("x264"), QStringLiteral("--audio-compressor"),
                                QStringLiteral("vorbis")},
                               [&] {
                                 // Frames have been written.
                                 std::error_code error;
                                 return std::filesystem::file_size(output + ".mkv", error) >=
                                            100'000 &&
                                        !error;
                               });
  EXPECT_EQ(run.status, 130) << run.errors;
  const auto first = run.errors.find("Stopping...");
  ASSERT_NE(first, std::string::npos) << run.errors;
  EXPECT_EQ(run.errors.find("Stopping...", first + 1), std::string::npos) << "said once";
  const auto report = test_support::FfProbe(output + ".mkv");
  ASSERT_TRUE(report.ok) << report.error;
  EXPECT_LT(report.duration, 19.0);
  EXPECT_EQ(test_support::DecodeErrors(output + ".mkv"), "");
}

TEST(ReelcastConvert, FailuresSayWhyAndWriteNothing) {
  const std::string output = gst_test::OutputPath("failed");
  Finished run = Convert({Q(Clip(ClipKind::Mp4H264Aac)), Q(output), QStringLiteral("--format"),
                          QStringLiteral("5")});
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
}

}  // namespace
