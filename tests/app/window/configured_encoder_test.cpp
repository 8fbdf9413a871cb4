// What the user configures reaches the file: an encoder configured through
// the options dialog's Settings, and a filter changed in the filter
// properties dialog of an MP4 run.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/command_line/convert_options.h"
#include "engine/compressor_catalogue.h"
#include "platform/profile/app_profile.h"
#include "platform/property/property_set.h"
#include "resources/resource_ids.h"
#include "tests/support/ffprobe.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/test_environment.h"
#include "tests/support/waiting.h"

namespace {

using test_support::Clip;
using test_support::ClipKind;
using test_support::MainWindowFixture;

int IndexOf(const std::string& name, CompressorKind kind) {
  return ResolveCompressorSelector(name, ListCompressors(kind)).value_or(-99);
}

class ConfiguredEncoder : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::ResetSettings();
    profile::WriteProfileInt("DexVideoCompress", "CompressorNumber",
                             IndexOf("x264", CompressorKind::Video));
    profile::WriteProfileInt("DexAudioCompress", "CompressorNumber",
                             IndexOf("vorbis", CompressorKind::Audio));
  }
  // Opens the clip and converts it to `name` in `format`; the measured
  // video bitrate of the file.
  double Convert(CReelcastDlg& w, int format, const std::string& name) {
    w.Settings().outputFormat = format;
    w.Settings().outputPath = test_support::HomeFolder() + "/" + name;
    w.Item(IDC_BUTTON_CONVERT).Click();
    EXPECT_TRUE(test_support::PumpUntil([&] { return !w.IsConverting(); }));
    EXPECT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Completed)
        << testing::PrintToString(f.ui().MessageTexts());
    EXPECT_EQ(test_support::DecodeErrors(w.Settings().outputPath), "");
    return test_support::MeasuredBitrate(w.Settings().outputPath, "video");
  }
  CReelcastDlg& OpenWithClip() {
    CReelcastDlg& w = f.Open();
    f.ui().openFileAnswers.push_back(Clip(ClipKind::Mp4H264Aac));
    w.Item(IDC_BUTTON_ADD_VIDEO).Click();
    return w;
  }
  static bool SetBitrate(property::PropertySet& object, std::uint64_t kbps) {
    return object.Set("bitrate", property::PropertyValue(kbps)) ||
           object.Set("bitrate", property::PropertyValue(static_cast<std::int64_t>(kbps)));
  }
  MainWindowFixture f;
};

TEST_F(ConfiguredEncoder, SettingsOfTheOptionsDialogReachTheNextConversion) {
  CReelcastDlg& w = OpenWithClip();
  profile::WriteProfileInt("Settings", "nOuptputFormat", 2);
  const double plain = Convert(w, 2, "plain.mkv");

  // Options opened on the Matroska settings: choose x264's Settings, set a
  // low bitrate, confirm, then OK.
  w.Settings().outputFormat = 2;
  f.ui().propertyScripts.push_back(
      [](property::PropertySet& codec) { return SetBitrate(codec, 64); });
  f.ui().dialogScripts.push_back([](ui::Dialog& d) {
    d.Item(IDC_BUTTON_VIDEO_CODEC_SETTINGS).Click();
    d.Item(IDC_BUTTON_OPTIONS_OK).Click();
  });
  w.Item(IDC_BUTTON_OUTPUT_SETTINGS).Click();
  ASSERT_EQ(f.ui().OfKind(test_support::Shown::Kind::Properties).size(), 1u);
  f.ui().messageAnswers.push_back(IDYES);
  const double configured = Convert(w, 2, "configured.mkv");
  EXPECT_GT(plain, 0);
  EXPECT_LT(configured, plain * 0.6) << "plain " << plain << " configured " << configured;
  EXPECT_LT(configured, 64000 * 1.5);
}

TEST_F(ConfiguredEncoder, AFilterChangedBeforeAnMp4RunChangesTheFile) {
  profile::WriteProfileInt("DexAudioCompress", "CompressorNumber",
                           IndexOf("aac", CompressorKind::Audio));
  CReelcastDlg& w = OpenWithClip();
  f.ui().dialogScripts.push_back([](ui::Dialog& d) { d.Item(IDCANCEL).Click(); });
  const double plain = Convert(w, 4, "plain.mp4");

  f.ui().propertyScripts.push_back(
      [](property::PropertySet& encoder) { return SetBitrate(encoder, 64); });
  f.ui().dialogScripts.push_back([](ui::Dialog& d) {
    ui::Control list = d.Item(IDC_LIST_FILTERS);
    for (int i = 0; i < list.GetCount(); ++i)
      if (list.GetItemText(i) == "VideoCompressor") list.SelectAsUser(i);
    EXPECT_TRUE(d.Item(IDC_BUTTON_FILTER_SETTINGS).IsEnabled());
    d.Item(IDC_BUTTON_FILTER_SETTINGS).Click();
    d.Item(IDCANCEL).Click();
  });
  const double changed = Convert(w, 4, "changed.mp4");
  ASSERT_EQ(f.ui().OfKind(test_support::Shown::Kind::Properties).size(), 1u);
  EXPECT_EQ(f.ui().OfKind(test_support::Shown::Kind::Properties)[0].text, "VideoCompressor");
  EXPECT_LT(changed, plain * 0.6) << "plain " << plain << " changed " << changed;
}

}  // namespace
