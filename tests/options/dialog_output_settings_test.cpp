// The output options dialog driven as a user drives it: through control ids
// and scripted answers.

#include "options/dialog_output_settings.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/compressor_catalogue.h"
#include "engine/graph_context.h"
#include "engine/output_settings.h"
#include "platform/profile/app_profile.h"
#include "platform/ui/application.h"
#include "resources/resource_ids.h"
#include "tests/support/scripted_modal_ui.h"
#include "tests/support/test_environment.h"

namespace {

using test_support::ScriptedUi;
using test_support::Shown;

class TestApp : public ui::Application {
 public:
  bool InitInstance() override { return false; }
};

class OptionsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::ResetSettings();
    app.SetRegistryKey("TARNWICK");
    profile::SetWriteObserver([this](const std::string& section, const std::string& key) {
      writes.push_back(section + "/" + key);
    });
  }
  void TearDown() override { profile::SetWriteObserver(nullptr); }

  // A dialog as the main window hands it over for a fresh user with a
  // 1278x718 source opened.
  CDialogOutputSettings& Make() {
    dialog = std::make_unique<CDialogOutputSettings>(context, nullptr);
    dialog->outputPath = "/out/movie.mkv";
    dialog->outputWidth = 1278;
    dialog->outputHeight = 718;
    dialog->sourceWidth = 1278;
    dialog->sourceHeight = 718;
    dialog->sourceProbed = 1;
    dialog->sourceFrameRate = 29.97;
    dialog->outputFrameRate = 23.976;
    dialog->frameRateIndex = 1;
    dialog->videoBitrate = 798720;
    dialog->audioBitrate = 128000;
    dialog->formatId = 1;
    return *dialog;
  }
  // Runs the dialog modally with a script standing in for the user.
  int Run(std::function<void(ui::Dialog&)> user) {
    ui->dialogScripts.push_back(std::move(user));
    return dialog->DoModal();
  }
  static void PressOk(ui::Dialog& d) { d.Item(IDC_BUTTON_OPTIONS_OK).Click(); }

  TestApp app;
  ScriptedUi ui;
  GraphContext context;
  std::unique_ptr<CDialogOutputSettings> dialog;
  std::vector<std::string> writes;
};

TEST_F(OptionsDialog, OkReturnsTheValuesAsTheControlsGiveThem) {
  Make();
  std::string shownBitrate, shownPath;
  int shownAudio = -2;
  ASSERT_EQ(Run([&](ui::Dialog& d) {
              shownBitrate = d.Item(IDC_EDIT_VIDEO_BITRATE).Text();
              shownPath = d.Item(IDC_EDIT_OUTPUT_FILE).Text();
              shownAudio = d.Item(IDC_COMBO_AUDIO_BITRATE).GetCurSel();
              PressOk(d);
            }),
            IDOK);
  EXPECT_EQ(shownBitrate, "780");
  EXPECT_EQ(shownPath, "/out/movie.wmv");
  EXPECT_EQ(shownAudio, 1);
  EXPECT_EQ(dialog->outputWidth, 1272);
  EXPECT_EQ(dialog->outputHeight, 712);
  EXPECT_EQ(dialog->videoBitrate, 798720);
  EXPECT_EQ(dialog->audioBitrate, 128000);
  EXPECT_EQ(dialog->outputPath, "/out/movie.wmv");
  EXPECT_EQ(dialog->formatId, 1);
  EXPECT_EQ(dialog->resizeMode, 0) << "the resize list is empty: stretch";
  // The frame-rate list holds only its first item, so index 1 finds nothing.
  EXPECT_EQ(dialog->frameRateIndex, 1);
  EXPECT_DOUBLE_EQ(dialog->outputFrameRate, 23.976);
  EXPECT_EQ(profile::GetProfileInt("Settings", "OutputFrameRateIndex", 0), -1);
  EXPECT_EQ(profile::GetProfileString("Settings", "OutputFrameRate", ""), "23.976");
  EXPECT_EQ(writes,
            (std::vector<std::string>{
                "Settings/OutputFrameRateIndex", "Settings/OutputFrameRate", "Settings/OutputName",
                "Settings/OutputWidth", "Settings/OutputHigh", "DexVideoCompress/CompressorNumber",
                "DexAudioCompress/CompressorNumber", "Settings/n_video_bitrate",
                "Settings/n_audio_bitrate", "Settings/nOuptputFormat"}));
}

TEST_F(OptionsDialog, BitratesShowAsKbpsAndComeBackTimes1024) {
  Make().videoBitrate = 800000;
  dialog->audioBitrate = 96000;
  dialog->outputWidth = 0;
  dialog->outputHeight = 0;
  std::string shown;
  int audioItem = 0;
  Run([&](ui::Dialog& d) {
    shown = d.Item(IDC_EDIT_VIDEO_BITRATE).Text();
    audioItem = d.Item(IDC_COMBO_AUDIO_BITRATE).GetCurSel();
    PressOk(d);
  });
  EXPECT_EQ(shown, "781");
  EXPECT_EQ(audioItem, -1);
  EXPECT_EQ(dialog->videoBitrate, 799744);
  EXPECT_EQ(dialog->audioBitrate, 96000) << "no audio item chosen keeps the bitrate";
  EXPECT_EQ(dialog->outputWidth, 16);
  EXPECT_EQ(dialog->outputHeight, 16);
}

TEST_F(OptionsDialog, CancelAndEscapeWriteNothingAndKeepTheCallersPath) {
  Make();
  EXPECT_EQ(Run([](ui::Dialog& d) { d.Item(IDC_BUTTON_OPTIONS_CANCEL).Click(); }), IDCANCEL);
  EXPECT_EQ(dialog->outputPath, "/out/movie.mkv");
  Make();
  EXPECT_EQ(Run([](ui::Dialog& d) { d.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0)); }),
            IDCANCEL);
  EXPECT_TRUE(writes.empty());
}

TEST_F(OptionsDialog, ATooSmallFrameRateKeepsTheDialogOpenAndWritesNothing) {
  Make();
  bool stillOpen = false;
  Run([&](ui::Dialog& d) {
    d.Item(IDC_EDIT_FRAME_RATE).TypeAsUser("0.0001");
    PressOk(d);
    stillOpen = !d.HasEnded();
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(ui->MessageTexts(), std::vector<std::string>{"The frame rate is too small!"});
  EXPECT_EQ(ui->OfKind(Shown::Kind::MessageBox)[0].caption, ui::Application::Name());
  EXPECT_TRUE(writes.empty());
}

// 26 folders of three CJK letters: 90 characters, but 26 * 10 + 10 bytes.
std::string LongCjkPath() {
  std::string path;
  for (int i = 0; i < 26; ++i) path += "/视频夹";
  return path + "/movie.wmv";
}

TEST_F(OptionsDialog, ATypedPathTooLongForTheBuffersIsRefusedAsTypedAndNothingIsStored) {
  Make();
  const std::string typed = LongCjkPath();
  ASSERT_GE(typed.size(), kMaxPath);
  bool openAfterOk = false, openAfterFormatChange = false;
  std::string textAfterOk, textAfterFormatChange;
  EXPECT_EQ(Run([&](ui::Dialog& d) {
              d.Item(IDC_EDIT_OUTPUT_FILE).TypeAsUser(typed);
              PressOk(d);
              openAfterOk = !d.HasEnded();
              textAfterOk = d.Item(IDC_EDIT_OUTPUT_FILE).Text();
              d.Item(IDC_COMBO_OUTPUT_FORMAT).SelectAsUser(1);
              textAfterFormatChange = d.Item(IDC_EDIT_OUTPUT_FILE).Text();
              PressOk(d);
              openAfterFormatChange = !d.HasEnded();
              d.Item(IDC_BUTTON_OPTIONS_CANCEL).Click();
            }),
            IDCANCEL);
  EXPECT_TRUE(openAfterOk);
  EXPECT_TRUE(openAfterFormatChange);
  EXPECT_EQ(textAfterOk, typed);
  EXPECT_EQ(textAfterFormatChange, typed) << "no extension rule applied to a cut path";
  const std::string refusal = "The path is too long (at most 259 bytes are allowed):\n" + typed;
  EXPECT_EQ(ui->MessageTexts(), std::vector<std::string>(3, refusal));
  EXPECT_TRUE(writes.empty());
  EXPECT_EQ(dialog->outputPath, "/out/movie.mkv");
}

TEST_F(OptionsDialog, FormatChangeRewritesTheExtensionAndTheViewAndBrowseUsesIt) {
  Make();
  ui->saveFileAnswers.push_back("/elsewhere/clip.avi");
  bool bitrateViewBefore = false, bitrateViewAfter = false, compressorHidden = false;
  std::string pathAfterChange, pathAfterBrowse;
  Run([&](ui::Dialog& d) {
    bitrateViewBefore = d.Item(IDC_EDIT_VIDEO_BITRATE).IsVisible();
    compressorHidden = !d.Item(IDC_COMBO_VIDEO_COMPRESSOR).IsVisible();
    d.Item(IDC_COMBO_OUTPUT_FORMAT).SelectAsUser(1);
    pathAfterChange = d.Item(IDC_EDIT_OUTPUT_FILE).Text();
    bitrateViewAfter = d.Item(IDC_EDIT_VIDEO_BITRATE).IsVisible();
    d.Item(IDC_BUTTON_BROWSE).Click();
    pathAfterBrowse = d.Item(IDC_EDIT_OUTPUT_FILE).Text();
    PressOk(d);
  });
  EXPECT_TRUE(bitrateViewBefore);
  EXPECT_TRUE(compressorHidden);
  EXPECT_EQ(pathAfterChange, "/out/movie.asf");
  EXPECT_TRUE(bitrateViewAfter);
  const auto save = ui->OfKind(Shown::Kind::SaveFile);
  ASSERT_EQ(save.size(), 1u);
  EXPECT_EQ(save[0].file.filters[0].first, "Advanced Systems Format file(*.asf)");
  EXPECT_EQ(save[0].file.initialFolder, "/out");
  EXPECT_EQ(save[0].file.title, "Select Output File Name");
  EXPECT_EQ(save[0].file.fileName, "*.*");
  EXPECT_EQ(pathAfterBrowse, "/elsewhere/clip.asf");
  EXPECT_EQ(dialog->formatId, 3);
  EXPECT_EQ(profile::GetProfileInt("Settings", "nOuptputFormat", 0), 3);
}

TEST_F(OptionsDialog, DefaultForWindowsMediaSetsOnlyTheTwoBitrates) {
  Make().videoBitrate = 200 * 1024;
  dialog->audioBitrate = 320000;
  Run([](ui::Dialog& d) {
    d.Item(IDC_EDIT_WIDTH).TypeAsUser("640");
    d.Item(IDC_BUTTON_OUTPUT_DEAULT).Click();
    PressOk(d);
  });
  EXPECT_EQ(dialog->videoBitrate, 798720);
  EXPECT_EQ(dialog->audioBitrate, 128000);
  EXPECT_EQ(dialog->outputWidth, 640) << "the frame size is left alone";
}

TEST_F(OptionsDialog, StoredFormatZeroShowsTheCompressorViewAndBecomesWmv) {
  Make().formatId = 0;
  bool compressorView = false;
  std::string path;
  int formatItem = -1;
  Run([&](ui::Dialog& d) {
    compressorView = d.Item(IDC_COMBO_VIDEO_COMPRESSOR).IsVisible();
    path = d.Item(IDC_EDIT_OUTPUT_FILE).Text();
    formatItem = d.Item(IDC_COMBO_OUTPUT_FORMAT).GetCurSel();
    PressOk(d);
  });
  EXPECT_TRUE(compressorView);
  EXPECT_EQ(path, "/out/movie.avi");
  EXPECT_EQ(formatItem, 0);
  EXPECT_EQ(dialog->formatId, 1);
}

TEST_F(OptionsDialog, CompressorListsFollowTheCatalogueAndTheStoredNumbers) {
  const auto videoNames = ListCompressors(CompressorKind::Video);
  ASSERT_GE(videoNames.size(), 2u);
  profile::WriteProfileInt("DexVideoCompress", "CompressorNumber", 1);
  profile::WriteProfileInt("DexAudioCompress", "CompressorNumber", 999);
  writes.clear();
  Make().formatId = 0;
  int videoItem = -2, audioItem = -2, count = 0;
  std::string first;
  Run([&](ui::Dialog& d) {
    videoItem = d.Item(IDC_COMBO_VIDEO_COMPRESSOR).GetCurSel();
    audioItem = d.Item(IDC_COMBO_AUDIO_COMPRESSOR).GetCurSel();
    count = d.Item(IDC_COMBO_VIDEO_COMPRESSOR).GetCount();
    first = d.Item(IDC_COMBO_VIDEO_COMPRESSOR).GetItemText(0);
    PressOk(d);
  });
  EXPECT_EQ(first, "Full frames (uncompressed)");
  EXPECT_EQ(count, static_cast<int>(videoNames.size()) + 1);
  EXPECT_EQ(videoItem, 2);
  EXPECT_EQ(audioItem, -1) << "a stored index beyond the list selects nothing";
  EXPECT_EQ(dialog->videoCompressorNumber, 1);
  EXPECT_EQ(dialog->videoCompressorUsed, 1);
  EXPECT_TRUE(context.videoCompressor) << "the chosen compressor is bound";
  // No selection stores -2 and binds nothing.
  EXPECT_EQ(dialog->audioCompressorNumber, -2);
  EXPECT_EQ(dialog->audioCompressorUsed, 1);
  EXPECT_FALSE(context.audioCompressor);
  EXPECT_EQ(profile::GetProfileInt("DexAudioCompress", "CompressorNumber", 0), -2);
}

TEST_F(OptionsDialog, UncompressedStoresMinusOneAndKeepsTheInstance) {
  profile::WriteProfileInt("DexVideoCompress", "CompressorNumber", 0);
  Make().formatId = 0;
  Run([](ui::Dialog& d) {
    d.Item(IDC_COMBO_VIDEO_COMPRESSOR).SelectAsUser(0);
    PressOk(d);
  });
  EXPECT_EQ(dialog->videoCompressorNumber, -1);
  EXPECT_EQ(dialog->videoCompressorUsed, 0);
  EXPECT_EQ(profile::GetProfileInt("DexVideoCompress", "CompressorNumber", 0), -1);
}

TEST_F(OptionsDialog, AnUnsupportedFormatFromTheCallerIsReportedTwice) {
  Make().formatId = 7;
  Run([](ui::Dialog& d) { d.Item(IDC_BUTTON_OPTIONS_CANCEL).Click(); });
  EXPECT_EQ(ui->MessageTexts(),
            (std::vector<std::string>{"Does not support the video format", "unknown error"}));
}

TEST_F(OptionsDialog, FrameRateIndexZeroTakesTheSourceRate) {
  Make().frameRateIndex = 0;
  std::string edit;
  Run([&](ui::Dialog& d) {
    edit = d.Item(IDC_EDIT_FRAME_RATE).Text();
    PressOk(d);
  });
  EXPECT_EQ(edit, "23.976000");
  EXPECT_EQ(dialog->frameRateIndex, 0);
  EXPECT_DOUBLE_EQ(dialog->outputFrameRate, 29.97);
  EXPECT_EQ(profile::GetProfileString("Settings", "OutputFrameRate", ""), "23.976");
}

}  // namespace
