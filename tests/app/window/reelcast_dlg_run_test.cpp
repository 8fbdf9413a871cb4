// Convert as the user presses it: what is asked and shown before, during
// and after a run. Real conversions end to end are in convert_run_test.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/shared/status_texts.h"
#include "platform/profile/app_profile.h"
#include "resources/resource_ids.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/test_environment.h"

namespace {

using test_support::Clip;
using test_support::ClipKind;
using test_support::MainWindowFixture;
using test_support::Shown;

class RunControl : public ::testing::Test {
 protected:
  void SetUp() override { test_support::ResetSettings(); }
  CReelcastDlg& OpenSource(ClipKind kind = ClipKind::Mp4H264Aac) {
    CReelcastDlg& w = f.Open();
    f.ui().openFileAnswers.push_back(Clip(kind));
    w.Item(IDC_BUTTON_ADD_VIDEO).Click();
    f.ui().Clear();
    return w;
  }
  void Press(CReelcastDlg& w) { w.Item(IDC_BUTTON_CONVERT).Click(); }
  MainWindowFixture f;
};

TEST_F(RunControl, WithoutASourceConvertAsksForOne) {
  CReelcastDlg& w = f.Open();
  Press(w);
  ASSERT_EQ(f.ui().shown.size(), 1u);
  EXPECT_EQ(f.ui().shown[0].text, "Please open an media file fisrt!");
  EXPECT_EQ(f.ui().shown[0].flags, MB_OK | MB_ICONEXCLAMATION);
  EXPECT_FALSE(w.IsConverting());
}

TEST_F(RunControl, AnswerNoToReplacingLeavesEverythingAsItWas) {
  CReelcastDlg& w = OpenSource();
  const std::string output = test_support::HomeFolder() + "/existing.wmv";
  std::ofstream(output) << "keep me";
  w.Settings().outputPath = output;
  const std::string summary = w.Item(IDC_STATIC_SUMMARY).Text();
  f.ui().messageAnswers.push_back(IDNO);
  Press(w);
  ASSERT_EQ(f.ui().shown.size(), 1u);
  EXPECT_EQ(f.ui().shown[0].text, output + " exists. Do you want to replace it?");
  EXPECT_EQ(f.ui().shown[0].caption, "Warning");
  EXPECT_EQ(f.ui().shown[0].flags, MB_YESNO | MB_ICONEXCLAMATION);
  EXPECT_FALSE(w.IsConverting());
  EXPECT_EQ(w.Item(IDC_STATIC_SUMMARY).Text(), summary);
  std::string kept;
  std::getline(std::ifstream(output), kept);
  EXPECT_EQ(kept, "keep me");
}

TEST_F(RunControl, TheSourceIsNeverTheOutput) {
  CReelcastDlg& w = OpenSource();
  w.Settings().outputPath = w.SourcePath();
  f.ui().messageAnswers.push_back(IDYES);  // would delete the source if asked
  Press(w);
  ASSERT_EQ(f.ui().shown.size(), 1u);
  EXPECT_NE(f.ui().shown[0].text.find("is the video being converted"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(w.SourcePath()));
  EXPECT_FALSE(w.IsConverting());
}

TEST_F(RunControl, AFailedBuildEndsWithTheCompletionTextAndTheSourceReopened) {
  CReelcastDlg& w = OpenSource();
  w.Settings().outputFormat = 5;  // no DSM multiplexer is installed
  w.Settings().outputPath = test_support::HomeFolder() + "/out.dsm";
  Press(w);
  EXPECT_FALSE(f.ui().MessageTexts().empty());
  EXPECT_FALSE(w.IsConverting());
  EXPECT_EQ(w.Item(IDC_STATIC_SUMMARY).Text(), "Done. Output file: " + test_support::HomeFolder() +
                                                   "/out.dsm     Resolution: 320*240");
  EXPECT_EQ(w.Item(IDC_BUTTON_CONVERT).Text(), "Convert");
  EXPECT_TRUE(w.Item(IDC_BUTTON_ADD_VIDEO).IsEnabled());
  EXPECT_TRUE(w.Graph().graph) << "a fresh source graph is ready for the next press";
  EXPECT_TRUE(w.Graph().control);
  EXPECT_FALSE(w.Graph().events);
}

TEST_F(RunControl, AFailedBuildKeepsTheFileItWouldHaveReplaced) {
  CReelcastDlg& w = OpenSource();
  w.Settings().outputFormat = 5;  // no DSM multiplexer is installed
  w.Settings().outputPath = test_support::HomeFolder() + "/earlier.dsm";
  std::ofstream(w.Settings().outputPath) << "an earlier conversion";
  f.ui().messageAnswers.push_back(IDYES);
  Press(w);
  EXPECT_GE(f.ui().MessageTexts().size(), 2u) << "the question, then why the build failed";
  EXPECT_FALSE(w.IsConverting());
  std::string kept;
  std::getline(std::ifstream(w.Settings().outputPath), kept);
  EXPECT_EQ(kept, "an earlier conversion");
}

TEST(StatusTexts, ElapsedTimeAndDuration) {
  EXPECT_EQ(ElapsedText(3725), "Please wait... Used Time: 01:02:05");
  EXPECT_EQ(ElapsedText(0), "Please wait... Used Time: 00:00:00");
  EXPECT_EQ(ElapsedText(360000), "Please wait... Used Time: 100:00:00");
  // 3 h 5 min 9.9 s: the seconds are truncated.
  EXPECT_EQ(DurationDisplay("movie.mkv", 111099000000LL), "movie.mkv: 03:05:09");
}

TEST_F(RunControl, TheDefaultVideosFolderIsMadeWhenTheUserHasNone) {
  CReelcastDlg& w = OpenSource();
  std::filesystem::remove_all(test_support::HomeFolder() + "/Videos");
  ASSERT_EQ(w.Settings().outputPath, test_support::HomeFolder() + "/Videos/output.wmv");
  w.Item(IDC_BUTTON_CONVERT).Click();
  EXPECT_TRUE(std::filesystem::is_directory(test_support::HomeFolder() + "/Videos"));
  EXPECT_TRUE(w.IsConverting()) << testing::PrintToString(f.ui().MessageTexts());
  w.Item(IDC_BUTTON_CONVERT).Click();  // stop; the window closes while the writer finishes
}

}  // namespace
