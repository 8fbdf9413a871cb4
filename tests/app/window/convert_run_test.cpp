// Real conversions driven through the main window as a user presses its
// buttons; every file written is probed back and decoded independently.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>

#include "app/command_line/convert_options.h"
#include "engine/compressor_catalogue.h"
#include "i18n/language.h"
#include "i18n/language_menu.h"
#include "platform/gst/pipeline/conversion_pipeline.h"
#include "platform/profile/app_profile.h"
#include "resources/resource_ids.h"
#include "tests/support/ffprobe.h"
#include "tests/support/language_folder.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/process_usage.h"
#include "tests/support/run_output.h"
#include "tests/support/test_environment.h"
#include "tests/support/waiting.h"

namespace {

using test_support::Clip;
using test_support::ClipKind;
using test_support::MainWindowFixture;
using test_support::MainWindowProbe;
using test_support::PumpUntil;
using test_support::Shown;

class ConvertRun : public ::testing::Test {
 protected:
  void SetUp() override { test_support::ResetSettings(); }
  CReelcastDlg& OpenSource(ClipKind kind, int format, const std::string& name) {
    CReelcastDlg& w = f.Open();
    f.ui().openFileAnswers.push_back(Clip(kind));
    w.Item(IDC_BUTTON_ADD_VIDEO).Click();
    w.Settings().outputFormat = format;
    output = test_support::HomeFolder() + "/" + name;
    w.Settings().outputPath = output;
    f.ui().Clear();
    return w;
  }
  void Press(CReelcastDlg& w) { w.Item(IDC_BUTTON_CONVERT).Click(); }
  // Chooses compressors by name, as the options dialog would.
  void UseCompressors(CReelcastDlg& w, const std::string& video, const std::string& audio) {
    const auto v = ResolveCompressorSelector(video, ListCompressors(CompressorKind::Video));
    const auto a = ResolveCompressorSelector(audio, ListCompressors(CompressorKind::Audio));
    ASSERT_TRUE(v && a);
    w.Settings().videoCompressorIndex = *v;
    w.Settings().audioCompressorIndex = *a;
    w.Settings().videoCompressionOn = 1;
    w.Settings().audioCompressionOn = 1;
    w.Graph().videoCompressor.Reset();
    w.Graph().audioCompressor.Reset();
  }
  bool WaitForTheEnd(CReelcastDlg& w) {
    return PumpUntil([&] { return !w.IsConverting(); });
  }
  MainWindowFixture f;
  std::string output;
};

TEST_F(ConvertRun, WindowsMediaCompletesWithDoneAndCanRunAgainAtOnce) {
  CReelcastDlg& w = OpenSource(ClipKind::Mp4H264Aac, 1, "holiday.wmv");
  Press(w);
  ASSERT_TRUE(w.IsConverting()) << testing::PrintToString(f.ui().MessageTexts());
  EXPECT_EQ(w.Item(IDC_BUTTON_CONVERT).Text(), "Stop");
  EXPECT_FALSE(w.Item(IDC_BUTTON_ADD_VIDEO).IsEnabled());
  EXPECT_FALSE(w.Item(IDC_BUTTON_OUTPUT_SETTINGS).IsEnabled());
  ASSERT_TRUE(WaitForTheEnd(w));
  EXPECT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Completed);
  EXPECT_EQ(w.Item(IDC_STATIC_SUMMARY).Text(),
            "Done. Output file: " + output + "     Resolution: 320*240");
  EXPECT_EQ(w.Item(IDC_BUTTON_CONVERT).Text(), "Convert");
  EXPECT_TRUE(w.Item(IDC_BUTTON_ADD_VIDEO).IsEnabled());
  EXPECT_TRUE(f.ui().MessageTexts().empty()) << f.ui().MessageTexts()[0];

  const auto report = test_support::FfProbe(output);
  ASSERT_TRUE(report.ok) << report.error;
  EXPECT_EQ(report.First("audio").codecName, "wmav2");
  EXPECT_EQ(report.First("audio").sampleRate, 44100);
  EXPECT_EQ(report.First("video").codecName, "wmv2");
  EXPECT_EQ(report.First("video").width, 320);
  EXPECT_NEAR(report.duration, 2.0, 0.2);
  EXPECT_EQ(test_support::DecodeErrors(output), "");

  // Again without reopening: the overwrite question comes back.
  f.ui().messageAnswers.push_back(IDYES);
  Press(w);
  ASSERT_EQ(f.ui().MessageTexts().size(), 1u);
  EXPECT_EQ(f.ui().MessageTexts()[0], output + " exists. Do you want to replace it?");
  ASSERT_TRUE(w.IsConverting());
  ASSERT_TRUE(WaitForTheEnd(w));
  EXPECT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Completed);
  EXPECT_EQ(test_support::DecodeErrors(output), "");
}

TEST_F(ConvertRun, StopHalfwayLeavesAPlayableFileAndTheElapsedTimeTicked) {
  CReelcastDlg& w = OpenSource(ClipKind::Mp4Hd20s, 2, "part.mkv");
  // H.264 at 720p takes the machine far longer than two seconds.
  UseCompressors(w, "x264", "vorbis");
  Press(w);
  ASSERT_TRUE(w.IsConverting());
  ASSERT_TRUE(PumpUntil([&] { return w.ElapsedSeconds() >= 2; }));
  EXPECT_EQ(w.Item(IDC_STATIC_SUMMARY).Text().rfind("Please wait... Used Time: 00:00:0", 0), 0u);
  Press(w);  // reads "Stop"
  // The window does not wait for the writer: x264 still holds a second or
  // more of frames at 720p when Stop is pressed, and the run goes on.
  EXPECT_TRUE(w.IsStopping());
  EXPECT_TRUE(w.IsConverting());
  Press(w);  // a second press while the writer finishes changes nothing
  ASSERT_TRUE(WaitForTheEnd(w));
  EXPECT_FALSE(w.IsStopping());
  EXPECT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Stopped);
  EXPECT_EQ(w.Item(IDC_STATIC_SUMMARY).Text().rfind("Done. Output file: " + output, 0), 0u);
  // On a loaded machine the stop limit may have come first: the writer then
  // finishes apart.
  ASSERT_TRUE(gst::ConversionPipeline::WaitUntilShutDown(test_support::kHangGuard));
  const auto report = test_support::FfProbe(output);
  ASSERT_TRUE(report.ok) << report.error;
  EXPECT_GT(report.duration, 0.2);
  EXPECT_LT(report.duration, 19.0);
  EXPECT_EQ(test_support::DecodeErrors(output), "");
  EXPECT_TRUE(w.Graph().graph) << "the source is ready for the next run";
}

// Close and Escape after Stop, while the writer finishes: no "Please first
// stop converting"; the window ends by itself once the run has ended.
TEST_F(ConvertRun, CloseAndEscapeWhileAStopFinishesEndTheWindowWhenTheRunHasEnded) {
  for (const UINT wish : {WM_CLOSE, static_cast<UINT>(WM_COMMAND)}) {
    SCOPED_TRACE(wish == WM_CLOSE ? "close" : "escape");
    test_support::ResetSettings();
    CReelcastDlg& w = OpenSource(ClipKind::Mp4Hd20s, 2, wish == WM_CLOSE ? "a.mkv" : "b.mkv");
    UseCompressors(w, "x264", "vorbis");
    Press(w);
    ASSERT_TRUE(w.IsConverting());
    ASSERT_TRUE(PumpUntil([&] { return w.ElapsedSeconds() >= 1; }));
    Press(w);  // Stop
    ASSERT_TRUE(w.IsStopping());
    w.SendMessage(wish, wish == WM_CLOSE ? 0 : MAKEWPARAM(IDCANCEL, 0));
    EXPECT_FALSE(w.HasEnded()) << "the writer is still finishing";
    ASSERT_TRUE(PumpUntil([&] { return w.HasEnded(); }));
    EXPECT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Stopped);
    EXPECT_EQ(w.Result(), IDCANCEL);
    EXPECT_TRUE(f.ui().MessageTexts().empty()) << testing::PrintToString(f.ui().MessageTexts());
    // Only the close stores the language, as it does when idle.
    EXPECT_EQ(profile::GetProfileString("Option", "CurrentLanguage", "") != "", wish == WM_CLOSE);
    // On a loaded machine the stop limit may have come first: the writer then
    // finishes apart.
    ASSERT_TRUE(gst::ConversionPipeline::WaitUntilShutDown(test_support::kHangGuard));
    const auto report = test_support::FfProbe(output);
    ASSERT_TRUE(report.ok) << report.error;
  }
}

TEST_F(ConvertRun, ASourceWithoutAudioCannotBeConverted) {
  CReelcastDlg& w = OpenSource(ClipKind::Mp4VideoOnly, 1, "silent.wmv");
  Press(w);
  EXPECT_FALSE(w.IsConverting());
  const auto boxes = f.ui().OfKind(Shown::Kind::MessageBox);
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes[0].text, "Cannot find audio renderer input pin!");
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_TRUE(w.Graph().control) << "back in the source-opened state";
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(ConvertRun, Mp4ShowsTheFilterPropertiesBeforeRunning) {
  CReelcastDlg& w = OpenSource(ClipKind::Mp4H264Aac, 4, "clip.mp4");
  UseCompressors(w, "x264", "aac");
  f.ui().dialogScripts.push_back([](ui::Dialog& d) {
    EXPECT_EQ(d.Template().id, IDD_DIALOG_FILTER_PROPERTY);
    EXPECT_GT(d.Item(IDC_LIST_FILTERS).GetCount(), 3);
    d.Item(IDCANCEL).Click();  // Continue
  });
  Press(w);
  EXPECT_EQ(f.ui().OfKind(Shown::Kind::Dialog).size(), 1u);
  ASSERT_TRUE(w.IsConverting()) << testing::PrintToString(f.ui().MessageTexts());
  ASSERT_TRUE(WaitForTheEnd(w));
  EXPECT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Completed);
  const auto report = test_support::FfProbe(output);
  ASSERT_TRUE(report.ok) << report.error;
  EXPECT_EQ(report.First("video").codecName, "h264");
  EXPECT_EQ(report.First("audio").codecName, "aac");
  EXPECT_EQ(test_support::DecodeErrors(output), "");
}

TEST_F(ConvertRun, SwitchingTheLanguageDuringARunKeepsItGoingAndStopStillStops) {
  test_support::LanguageFolder folder;
  folder.Add("English.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Exit\n");
  folder.Add("German.ini", "[DIALOG]\nIDC_BUTTON_CONVERT=Umwandeln\nIDC_BUTTON_EXIT=Beenden\n");
  theLanguage.Open(folder.Base(), "english");
  CReelcastDlg& w = OpenSource(ClipKind::Mp4Hd20s, 1, "long.wmv");
  Press(w);
  ASSERT_TRUE(w.IsConverting());
  // German comes after English in the sorted catalogue.
  w.SendMessage(WM_COMMAND, MAKEWPARAM(kFirstLanguageCommand + 1, 0));
  EXPECT_EQ(theLanguage.GetCurrentName(), "German");
  EXPECT_EQ(w.Item(IDC_BUTTON_EXIT).Text(), "Beenden");
  EXPECT_TRUE(w.IsConverting());
  EXPECT_EQ(f.ui().MessageTexts().back(), "Please restart the program");
  // The button may now read the idle text; pressing it still stops.
  Press(w);
  ASSERT_TRUE(WaitForTheEnd(w));
  EXPECT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Stopped);
  // Stopped before the streams were set up: still a stop, not a failure.
  EXPECT_EQ(f.ui().MessageTexts().back(), "Please restart the program");
}

// A run that fails: its message box runs a message loop of its own, so the
// run's timers are stopped before it is shown (a tick of the stop limit in
// there would tear the run down inside the box), and the run is torn down
// once, after the box.
TEST_F(ConvertRun, AnAbortIsShownWithTheRunsTimersStoppedAndTornDownOnce) {
  CReelcastDlg& w = OpenSource(ClipKind::Mp4H264Aac, 1, "vanishing.wmv");
  Press(w);
  ASSERT_TRUE(w.IsConverting());
  ASSERT_TRUE(w.HasTimer(TIMER_ELAPSED));
  // The file disappears while it is written.
  ASSERT_TRUE(std::filesystem::remove(test_support::WritingToward(output)));
  bool boxShown = false;
  f.ui().messageScripts.push_back([&](const Shown&) {
    boxShown = true;
    EXPECT_FALSE(w.HasTimer(TIMER_ELAPSED));
    EXPECT_FALSE(w.HasTimer(TIMER_STOP_LIMIT));
    EXPECT_TRUE(w.IsConverting()) << "the teardown comes after the box";
    EXPECT_EQ(MainWindowProbe::Teardowns(w), 0);
    return IDOK;
  });
  ASSERT_TRUE(WaitForTheEnd(w));
  EXPECT_TRUE(boxShown);
  EXPECT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Aborted);
  EXPECT_EQ(MainWindowProbe::Teardowns(w), 1);
  // A tick that was already on its way when the run ended finds nothing to
  // tear down: the source reopened for the next run stays as it is.
  w.SendMessage(WM_TIMER, TIMER_STOP_LIMIT);
  EXPECT_EQ(MainWindowProbe::Teardowns(w), 1);
  EXPECT_TRUE(w.Graph().control);
}

// A writer that never finishes (its file is a pipe that nobody reads, as a
// hung network share would be): Stop returns while the writer is stuck, the
// run is torn down once when the stop limit fires without waiting for the
// writer again, and the pipeline is released as soon as the writer can go on.
TEST_F(ConvertRun, AStuckWriterNeverHoldsTheWindow) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  const int capacity = fcntl(ends[0], F_SETPIPE_SZ, 4096);
  ASSERT_GT(capacity, 0);
  const auto unread = [&] {
    int bytes = 0;
    ioctl(ends[0], FIONREAD, &bytes);
    return bytes;
  };
  CReelcastDlg& w = OpenSource(ClipKind::Mp4Hd20s, 1, "unused.wmv");
  w.Settings().outputPath = "/proc/self/fd/" + std::to_string(ends[1]);
  f.ui().messageAnswers.push_back(IDYES);  // it exists: replace it
  Press(w);
  ASSERT_TRUE(w.IsConverting()) << testing::PrintToString(f.ui().MessageTexts());
  ASSERT_TRUE(PumpUntil([&] { return unread() >= capacity; })) << "the writer is stuck";

  Press(w);  // Stop
  EXPECT_TRUE(w.IsStopping());
  EXPECT_TRUE(w.IsConverting());
  ASSERT_TRUE(WaitForTheEnd(w)) << "the stop limit tears the run down";
  EXPECT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Stopped);
  EXPECT_EQ(MainWindowProbe::Teardowns(w), 1);
  EXPECT_EQ(unread(), capacity) << "the writer was not waited for";
  EXPECT_TRUE(w.Graph().control) << "the source is ready for the next run";

  // The writer goes on: what it still writes is read to the end, which
  // comes when the pipeline has closed the file.
  close(ends[1]);
  char buffer[4096];
  while (read(ends[0], buffer, sizeof buffer) > 0) {
  }
  close(ends[0]);
  EXPECT_TRUE(gst::ConversionPipeline::WaitUntilShutDown(test_support::kHangGuard));
  EXPECT_EQ(MainWindowProbe::Teardowns(w), 1);
}

// Run after run in one window, Convert to the end and Convert then Stop:
// after the first runs have loaded what every run uses, further runs leave
// no file descriptor and no thread behind. (Memory over fifty runs is
// measured in bench/.)
TEST_F(ConvertRun, RunAfterRunLeavesNoDescriptorsOrThreadsBehind) {
  CReelcastDlg& w = OpenSource(ClipKind::Mp4H264Aac, 1, "again.wmv");
  const auto run = [&](bool stop) {
    if (std::filesystem::exists(output)) f.ui().messageAnswers.push_back(IDYES);
    Press(w);
    ASSERT_TRUE(w.IsConverting()) << testing::PrintToString(f.ui().MessageTexts());
    if (stop) Press(w);
    ASSERT_TRUE(WaitForTheEnd(w));
  };
  const auto usage = [] {
    EXPECT_TRUE(gst::ConversionPipeline::WaitUntilShutDown(test_support::kHangGuard));
    return test_support::CurrentUsage();
  };
  run(false);
  run(true);
  const auto settled = usage();
  for (int i = 0; i < 4; ++i) {
    run(false);
    run(true);
  }
  const auto after = usage();
  EXPECT_EQ(after.descriptors, settled.descriptors);
  // GLib keeps up to two idle threads for reuse, which come and go; a
  // thread left behind by each run would be eight more.
  EXPECT_LE(after.threads, settled.threads + 2);
  EXPECT_EQ(MainWindowProbe::Teardowns(w), 10);
}

}  // namespace
