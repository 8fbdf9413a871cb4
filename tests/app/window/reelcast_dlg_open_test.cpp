// Open Video as a user does it: the file dialog, the probe, the texts shown,
// the folder remembered and the graph kept for the conversion.

#include <gtest/gtest.h>

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

const std::string kCombined =
    "Can not get the duration of the clip!Cannot open the file. You need to install appropriate "
    "decoders. Or the file is corrupt.";

class OpenVideo : public ::testing::Test {
 protected:
  void SetUp() override { test_support::ResetSettings(); }
  CReelcastDlg& OpenFile(const std::string& path) {
    CReelcastDlg& w = window();
    f.ui().openFileAnswers.push_back(path);
    w.Item(IDC_BUTTON_ADD_VIDEO).Click();
    return w;
  }
  CReelcastDlg& window() {
    if (!opened_) {
      f.Open();
      opened_ = true;
    }
    return f.window();
  }
  std::string Duration() { return window().Item(IDC_STATIC_DURATION).Text(); }
  MainWindowFixture f;
  bool opened_ = false;
};

TEST_F(OpenVideo, AsksWithTheDialogsParametersAndShowsNameAndDuration) {
  profile::WriteProfileString("Option", "LastPhotoFolder", "/media/clips/");
  const std::string path = Clip(ClipKind::Mp4H264Aac);
  const std::string summaryBefore = window().Item(IDC_STATIC_SUMMARY).Text();
  CReelcastDlg& w = OpenFile(path);

  const auto asked = f.ui().OfKind(Shown::Kind::OpenFile);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].file.title, "Open a video file");
  EXPECT_EQ(asked[0].file.initialFolder, "/media/clips/");
  EXPECT_EQ(asked[0].file.filters,
            (std::vector<std::pair<std::string, std::string>>{{"Video Files (*.*)", "*.*"}}));
  EXPECT_EQ(asked[0].flags, 0x81801u);
  EXPECT_EQ(asked[0].owner, &w);

  const std::string name = path.substr(path.find_last_of('/') + 1);
  EXPECT_EQ(Duration(), name + ": 00:00:02");
  EXPECT_TRUE(w.IsSourceOpened());
  EXPECT_TRUE(w.Graph().graph);
  EXPECT_TRUE(w.Graph().control);
  EXPECT_EQ(w.SourcePath(), path);
  EXPECT_EQ(profile::GetProfileString("Option", "LastPhotoFolder", ""),
            path.substr(0, path.find_last_of('/') + 1));
  // The probe sets the output size; the summary shows it only later.
  EXPECT_EQ(w.Settings().outputWidth, 320);
  EXPECT_EQ(w.Settings().outputHeight, 240);
  EXPECT_EQ(w.Item(IDC_STATIC_SUMMARY).Text(), summaryBefore);
  EXPECT_EQ(w.SourceInfo().width, 320);
  EXPECT_NEAR(w.SourceInfo().frameRate, 25.0, 1e-9);
  EXPECT_TRUE(f.ui().MessageTexts().empty());
}

TEST_F(OpenVideo, CancellingTheDialogChangesNothing) {
  CReelcastDlg& w = OpenFile(Clip(ClipKind::Mp4H264Aac));
  const std::string shown = Duration();
  w.Item(IDC_BUTTON_ADD_VIDEO).Click();  // no scripted answer: cancelled
  EXPECT_EQ(Duration(), shown);
  EXPECT_TRUE(w.Graph().graph);
  EXPECT_TRUE(f.ui().MessageTexts().empty());
}

TEST_F(OpenVideo, AFailedSecondOpenLeavesNoSource) {
  CReelcastDlg& w = OpenFile(Clip(ClipKind::Mp4H264Aac));
  const std::string shown = Duration();
  OpenFile(Clip(ClipKind::TextNamedMp4));
  const auto boxes = f.ui().OfKind(Shown::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 2u) << "the probe's own message, then the combined one";
  EXPECT_EQ(boxes[1].text, kCombined);
  EXPECT_EQ(boxes[1].caption, "Error IDS_MESSAGE_NO_DURATION");
  EXPECT_EQ(boxes[1].owner, &w);
  EXPECT_EQ(w.SourcePath(), "");
  EXPECT_FALSE(w.Graph().graph) << "the first file's graph was released before the probe";
  EXPECT_FALSE(w.Graph().control);
  EXPECT_EQ(Duration(), shown) << "the duration pane keeps the last opened source";
}

TEST_F(OpenVideo, BadFilesAreRefusedWithTheirMessages) {
  for (ClipKind bad : {ClipKind::EmptyMp4, ClipKind::Mp4AudioOnly, ClipKind::TextNamedMp4}) {
    f.ui().Clear();
    CReelcastDlg& w = OpenFile(Clip(bad));
    EXPECT_FALSE(w.IsSourceOpened());
    EXPECT_EQ(w.SourcePath(), "");
    const auto texts = f.ui().MessageTexts();
    ASSERT_EQ(texts.size(), 2u) << Clip(bad);
    EXPECT_EQ(texts[1], kCombined);
  }
  f.ui().Clear();
  CReelcastDlg& w = OpenFile(test_support::HomeFolder());  // a folder
  EXPECT_FALSE(w.IsSourceOpened());
  EXPECT_EQ(f.ui().MessageTexts().back(), kCombined);
  EXPECT_EQ(Duration(), "00:00:00");
}

TEST_F(OpenVideo, NamesWithBlanksAndForeignLettersAndVideoOnlyFilesOpen) {
  for (ClipKind kind : {ClipKind::OddName, ClipKind::Mp4VideoOnly}) {
    const std::string path = Clip(kind);
    CReelcastDlg& w = OpenFile(path);
    EXPECT_TRUE(w.Graph().graph) << path;
    EXPECT_EQ(Duration(), path.substr(path.find_last_of('/') + 1) + ": 00:00:02");
  }
  EXPECT_TRUE(f.ui().MessageTexts().empty());
}

TEST_F(OpenVideo, APathTooLongForTheBuffersIsRefusedAndTheSourceStays) {
  CReelcastDlg& w = OpenFile(Clip(ClipKind::Mp4H264Aac));
  OpenFile("/" + std::string(300, 'v') + ".mp4");
  EXPECT_TRUE(w.Graph().graph);
  EXPECT_NE(w.SourcePath(), "");
  ASSERT_EQ(f.ui().MessageTexts().size(), 1u);
  EXPECT_NE(f.ui().MessageTexts()[0].find("too long"), std::string::npos);
}

}  // namespace
