// Real conversions driven through the main window as a user presses its
// buttons; every file written is probed back and decoded independently.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>

#include "app/convert_options.h"
#include "engine/compressor_catalogue.h"
#include "i18n/language.h"
#include "i18n/language_menu.h"
#include "resources/resource_ids.h"
#include "tests/support/ffprobe.h"
#include "tests/support/language_folder.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/test_environment.h"

namespace {

using test_support::Clip;
using test_support::ClipKind;
using test_support::MainWindowFixture;
using test_support::Shown;

// Lets posted messages and timers arrive until `done` or the time-out.
bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < milliseconds)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return done();
}

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
  bool WaitForTheEnd(CReelcastDlg& w, int milliseconds = 60000) {
    return PumpUntil([&] { return !w.IsConverting(); }, milliseconds);
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
  ASSERT_TRUE(PumpUntil([&] { return w.ElapsedSeconds() >= 2; }, 10000));
  EXPECT_EQ(w.Item(IDC_STATIC_SUMMARY).Text().rfind("Please wait... Used Time: 00:00:0", 0), 0u);
  QElapsedTimer pressed;
  pressed.start();
  Press(w);  // reads "Stop"
  // The window does not wait for the writer: x264 still holds a second or
  // more of frames at 720p when Stop is pressed.
  EXPECT_LT(pressed.elapsed(), 1000);
  EXPECT_TRUE(w.IsStopping());
  Press(w);  // a second press while the writer finishes changes nothing
  ASSERT_TRUE(WaitForTheEnd(w, 10000));
  EXPECT_FALSE(w.IsStopping());
  EXPECT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Stopped);
  EXPECT_EQ(w.Item(IDC_STATIC_SUMMARY).Text().rfind("Done. Output file: " + output, 0), 0u);
  const auto report = test_support::FfProbe(output);
  ASSERT_TRUE(report.ok) << report.error;
  EXPECT_GT(report.duration, 0.2);
  EXPECT_LT(report.duration, 19.0);
  EXPECT_EQ(test_support::DecodeErrors(output), "");
  EXPECT_TRUE(w.Graph().graph) << "the source is ready for the next run";
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
  ASSERT_TRUE(WaitForTheEnd(w, 10000));
  EXPECT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Stopped);
  // Stopped before the streams were set up: still a stop, not a failure.
  EXPECT_EQ(f.ui().MessageTexts().back(), "Please restart the program");
}

}  // namespace
