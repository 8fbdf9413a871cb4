// The Settings button of the output options dialog, pressed as a user presses
// it: which codec's dialog opens for the chosen compressor, and what its
// confirmed configuration does afterwards.

#include "options/video_codec_configuration.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/graph_context.h"
#include "options/dialog_output_settings.h"
#include "platform/dshow/filter_element.h"
#include "platform/ui/application.h"
#include "platform/vfw/kept_configuration.h"
#include "resources/resource_ids.h"
#include "tests/engine/fake_media_classes.h"
#include "tests/support/fake_codecs.h"
#include "tests/support/scripted_modal_ui.h"
#include "tests/support/test_environment.h"

namespace {

using test_support::FakeCodec;
using test_support::FakeCodecs;
using test_support::ScriptedUi;
using test_support::Shown;

class TestApp : public ui::Application {
 public:
  bool InitInstance() override { return false; }
};

class CodecSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::ResetSettings();
    app.SetRegistryKey("TARNWICK");
  }

  // Runs the options dialog for MP4 output, whose view holds the compressors
  // and the Settings button.
  int Run(std::function<void(ui::Dialog&)> user) {
    CDialogOutputSettings dialog(context, nullptr);
    dialog.outputPath = "/out/movie.mp4";
    dialog.formatId = 4;
    ui->dialogScripts.push_back(std::move(user));
    return dialog.DoModal();
  }
  // The compressor's item in the combo, or -1.
  static int ItemOf(ui::Dialog& d, const std::string& compressor) {
    ui::Control combo = d.Item(IDC_COMBO_VIDEO_COMPRESSOR);
    for (int i = 0; i < combo.GetCount(); ++i)
      if (combo.GetItemText(i) == compressor) return i;
    return -1;
  }
  // Picks the compressor in the combo, then presses Settings.
  static void Configure(ui::Dialog& d, const std::string& compressor) {
    const int item = ItemOf(d, compressor);
    ASSERT_GE(item, 0) << compressor << " is not listed";
    d.Item(IDC_COMBO_VIDEO_COMPRESSOR).SelectAsUser(item);
    d.Item(IDC_BUTTON_VIDEO_CODEC_SETTINGS).Click();
  }
  // The codec dialogs shown so far, by caption.
  std::vector<std::string> CodecDialogs() {
    std::vector<std::string> captions;
    for (const auto& shown : ui->OfKind(Shown::Kind::Properties)) captions.push_back(shown.text);
    return captions;
  }
  // The user's answer to the next codec dialog.
  void Answer(std::function<bool(property::PropertySet&)> user) {
    ui->propertyScripts.push_back(std::move(user));
  }

  TestApp app;
  ScriptedUi ui;
  GraphContext context;
};

using Captions = std::vector<std::string>;

TEST_F(CodecSettings, AConfiguredEncoderKeepsItForTheNextPressAndForTheCompressorBoundOnOk) {
  const std::string x264 = "x264 H.264 Encoder";
  Answer([](property::PropertySet& codec) { return codec.Set("bitrate", std::uint64_t{3000}); });
  guint nextPressBitrate = 0;
  Answer([&](property::PropertySet& codec) {
    nextPressBitrate = static_cast<guint>(std::get<std::uint64_t>(codec.Get("bitrate")));
    return false;
  });
  std::vector<std::string> scratch;
  bool scratchShown = true;
  ASSERT_EQ(Run([&](ui::Dialog& d) {
              Configure(d, x264);
              Configure(d, x264);
              ui::Control codecs = d.Item(IDC_COMBO_VIDEO_CODECS);
              for (int i = 0; i < codecs.GetCount(); ++i) scratch.push_back(codecs.GetItemText(i));
              scratchShown = codecs.IsVisible();
              d.Item(IDC_BUTTON_OPTIONS_OK).Click();
            }),
            IDOK);

  EXPECT_EQ(CodecDialogs(), (Captions{x264, x264}));
  EXPECT_NE(ui->OfKind(Shown::Kind::Properties)[0].owner, nullptr) << "owned by the options dialog";
  EXPECT_EQ(nextPressBitrate, 3000u);
  const VideoCodecConfiguration& config = TheVideoCodecConfiguration();
  EXPECT_TRUE(config.stateSaved) << "cancelling the second time keeps the first save";
  EXPECT_EQ(config.chosenCompressorName, x264);
  EXPECT_EQ(scratch.size(), config.codecTable.size());
  EXPECT_NE(std::find(scratch.begin(), scratch.end(), x264), scratch.end());
  EXPECT_FALSE(scratchShown);

  // OK binds a new compressor filter, which starts from the configuration.
  ASSERT_TRUE(context.videoCompressor);
  guint bitrate = 0;
  g_object_get(dshow::ElementOf(context.videoCompressor.Get()), "bitrate", &bitrate, nullptr);
  EXPECT_EQ(bitrate, 3000u);
}

TEST_F(CodecSettings, CancellingTheCodecsDialogSavesNothing) {
  Answer([](property::PropertySet& codec) {
    codec.Set("bitrate", std::uint64_t{3000});
    return false;
  });
  property::PropertyValue seenNextTime;
  Answer([&](property::PropertySet& codec) {
    seenNextTime = codec.Get("bitrate");
    return false;
  });
  Run([](ui::Dialog& d) {
    Configure(d, "x264 H.264 Encoder");
    Configure(d, "x264 H.264 Encoder");
    d.Item(IDC_BUTTON_OPTIONS_OK).Click();
  });
  EXPECT_EQ(seenNextTime, property::PropertyValue(std::uint64_t{2048}));
  EXPECT_FALSE(TheVideoCodecConfiguration().stateSaved);
  EXPECT_FALSE(vfw::KeptConfiguration("x264enc"));
  guint bitrate = 0;
  g_object_get(dshow::ElementOf(context.videoCompressor.Get()), "bitrate", &bitrate, nullptr);
  EXPECT_EQ(bitrate, 2048u);
}

TEST_F(CodecSettings, UncompressedAndCodecsThatCannotTakeTheProbeOpenNothing) {
  Run([](ui::Dialog& d) {
    Configure(d, "Full frames (uncompressed)");
    // H.263 takes only its five fixed picture sizes, not 352 x 240.
    const std::string h263 = "libav H.263 / H.263-1996 encoder";
    if (ItemOf(d, h263) >= 0) Configure(d, h263);
  });
  EXPECT_TRUE(CodecDialogs().empty());
  EXPECT_TRUE(ui->MessageTexts().empty()) << "nothing is reported either";
  for (const auto& codec : TheVideoCodecConfiguration().codecTable)
    EXPECT_NE(codec.szName, "avenc_h263");
}

// The compressor combo and the codecs, both chosen by the test.
class MatchingCodec : public CodecSettings {
 protected:
  void List(std::vector<std::string> compressors) {
    for (auto& name : compressors) devices->video.push_back({std::move(name)});
  }
  engine_test::FakeDevices devices;
};

TEST_F(MatchingCodec, TheExactNameInAnotherCaseIsConfiguredAndTheLaterOfTwoTwinsWins) {
  List({"Alpha Codec", "Twin"});
  FakeCodecs codecs({{"alpha", "ALPHA codec"}, {"twin-1", "Twin"}, {"twin-2", "Twin"}});
  Answer([](property::PropertySet& codec) { return codec.Set("offset", std::int64_t{1}); });
  Answer([](property::PropertySet& codec) { return codec.Set("offset", std::int64_t{2}); });
  Run([](ui::Dialog& d) {
    Configure(d, "Alpha Codec");
    Configure(d, "Twin");
  });
  EXPECT_EQ(CodecDialogs(), (Captions{"ALPHA codec", "Twin"}));
  EXPECT_TRUE(vfw::KeptConfiguration("alpha"));
  EXPECT_TRUE(vfw::KeptConfiguration("twin-2"));
  EXPECT_FALSE(vfw::KeptConfiguration("twin-1"));
}

TEST_F(MatchingCodec, AnFfdshowEncoderMatchesByItsNumber) {
  struct Case {
    const char* chosen;
    std::vector<FakeCodec> codecs;
    const char* configured;  // the codec whose dialog opens, or null
  };
  const std::vector<Case> cases = {
      {"ffdshow video encoder 1.2",
       {{"v13", "FFDShow Video Encoder (build 1.3)"},
        {"v12", "FFDSHOW video encoder, build 1.2 beta"}},
       "v12"},
      {"ffdshow video encoder 1.4", {{"v13", "ffdshow video encoder 1.3"}}, nullptr},
      {"ffdshow video encoder", {{"v1", "ffdshow video encoder 1"}}, nullptr},  // no number
      {"my encoder 1.2", {{"v12", "ffdshow video encoder 1.2"}}, nullptr},      // not ffdshow
      // The first by number stays; a later exact name replaces it.
      {"ffdshow video encoder 7",
       {{"first", "ffdshow video encoder r7"}, {"second", "ffdshow video encoder v7"}},
       "first"},
      {"ffdshow video encoder 7",
       {{"by-number", "ffdshow video encoder r7"}, {"exact", "FFDSHOW VIDEO ENCODER 7"}},
       "exact"},
      {"ffdshow video encoder 7",
       {{"exact", "ffdshow video encoder 7"}, {"by-number", "ffdshow video encoder r7"}},
       "exact"},
  };
  for (const Case& c : cases) {
    devices->video.clear();
    List({c.chosen});
    FakeCodecs codecs(c.codecs);
    ui->Clear();
    Answer([](property::PropertySet&) { return false; });
    Run([&](ui::Dialog& d) { Configure(d, c.chosen); });
    const auto shown = CodecDialogs();
    if (!c.configured) {
      EXPECT_TRUE(shown.empty()) << c.chosen;
      ui->propertyScripts.clear();
      continue;
    }
    ASSERT_EQ(shown.size(), 1u) << c.chosen;
    std::string expected;
    for (const auto& codec : c.codecs)
      if (codec.name == c.configured) expected = codec.description;
    EXPECT_EQ(shown[0], expected) << c.chosen;
  }
}

TEST_F(MatchingCodec, CodecsThatCannotServeAreNeverConfigured) {
  List({"Refuses", "Closed", "Plain"});
  FakeCodecs codecs({{"refuses", "Refuses", /*takesProbe=*/false},
                     {"closed", "Closed", true, /*opens=*/false},
                     {"plain", "Plain", true, true, /*hasSettings=*/false}});
  Run([](ui::Dialog& d) {
    Configure(d, "Refuses");
    Configure(d, "Closed");
    Configure(d, "Plain");
  });
  EXPECT_TRUE(CodecDialogs().empty());
  EXPECT_TRUE(TheVideoCodecConfiguration().stateBuffer.empty());
  EXPECT_EQ(TheVideoCodecConfiguration().codecTable.size(), 1u) << "only the plain codec answers";
}

TEST_F(MatchingCodec, TheTableHoldsFiftyCodecsThatTakeTheProbe) {
  std::vector<FakeCodec> installed;
  installed.push_back({"refusing", "Refusing", false});
  for (int i = 0; i < 51; ++i)
    installed.push_back({"c" + std::to_string(i), "Codec " + std::to_string(i)});
  List({"Codec 49", "Codec 50"});
  FakeCodecs codecs(installed);
  Run([](ui::Dialog& d) {
    Configure(d, "Codec 50");
    Configure(d, "Codec 49");
  });
  EXPECT_EQ(CodecDialogs(), (Captions{"Codec 49"}));
  EXPECT_EQ(TheVideoCodecConfiguration().codecTable.size(), 50u);
}

TEST_F(MatchingCodec, WithNoCompressorSelectedTheLastChosenNameServes) {
  List({"Alpha"});
  FakeCodecs codecs(std::vector<FakeCodec>{{"alpha", "Alpha"}});
  Run([](ui::Dialog& d) {
    Configure(d, "Alpha");
    d.Item(IDC_COMBO_VIDEO_COMPRESSOR).SetCurSel(-1);
    d.Item(IDC_BUTTON_VIDEO_CODEC_SETTINGS).Click();
  });
  EXPECT_EQ(CodecDialogs(), (Captions{"Alpha", "Alpha"}));
}

TEST_F(MatchingCodec, TheOneStateBufferFollowsTheCodecsConfigured) {
  // Same settings and names of one length: the two states have one size.
  List({"Codec A", "Codec B", "Codec Long"});
  FakeCodecs codecs({{"aa", "Codec A"}, {"bb", "Codec B"}, {"longer", "Codec Long"}});
  VideoCodecConfiguration& config = TheVideoCodecConfiguration();
  std::vector<property::PropertyValue> seen;
  auto note = [&](std::optional<std::uint64_t> set) {
    Answer([&seen, set](property::PropertySet& codec) {
      seen.push_back(codec.Get("bitrate"));
      return set && codec.Set("bitrate", std::uint64_t{*set});
    });
  };
  note(5);             // A, confirmed
  note(7);             // B, confirmed: A's saved state was not B's to take
  note(std::nullopt);  // A again, cancelled: B's state is refused, A keeps its own
  note(std::nullopt);  // Long: another size, cancelled
  std::vector<std::uint8_t> afterA;
  bool savedAfterLong = true;
  std::size_t sizeAfterB = 0;
  Run([&](ui::Dialog& d) {
    Configure(d, "Codec A");
    afterA = config.stateBuffer;
    Configure(d, "Codec B");
    sizeAfterB = config.stateBuffer.size();
    Configure(d, "Codec A");
    Configure(d, "Codec Long");
    savedAfterLong = config.stateSaved;
  });
  using V = property::PropertyValue;
  EXPECT_EQ(seen, (std::vector<V>{V(std::uint64_t{800}), V(std::uint64_t{800}), V(std::uint64_t{5}),
                                  V(std::uint64_t{800})}));
  EXPECT_EQ(sizeAfterB, afterA.size());
  EXPECT_NE(std::string(afterA.begin(), afterA.end()).find("bitrate=5\n"), std::string::npos);
  EXPECT_FALSE(savedAfterLong) << "a buffer made anew for a codec holds no saved state";
  EXPECT_NE(config.stateBuffer.size(), sizeAfterB);
}

}  // namespace
