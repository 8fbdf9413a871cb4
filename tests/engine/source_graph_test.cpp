// Probing sources and opening their graphs: real clips for what files do,
// fake graphs for the failures real files cannot provoke.

#include "engine/source_graph.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "platform/dshow/errors.h"
#include "tests/engine/fake_media_classes.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/scripted_modal_ui.h"
#include "tests/support/test_environment.h"

namespace {

using engine_test::FakeGraphs;
using engine_test::FakeGraphSetup;
using test_support::Clip;
using test_support::ClipKind;
using test_support::FactsOf;
using test_support::ScriptedUi;
using test_support::Shown;

const std::string kNotOpen =
    "Cannot open the file. You need to install appropriate decoders. Or the file is corrupt.";

struct Probe {
  int result = -1;
  std::int64_t duration = -1;
  MediaInfo info;
  OutputSettings settings;
};

Probe ProbeOf(const std::string& path) {
  Probe probe;
  probe.result = ProbeSourceFile(path, probe.duration, probe.info, probe.settings);
  return probe;
}

void ExpectOneWindowMessage(ScriptedUi& ui, const std::string& text) {
  ASSERT_EQ(ui->shown.size(), 1u);
  EXPECT_EQ(ui->shown[0].text, text);
  EXPECT_EQ(ui->shown[0].caption, "Error");
  EXPECT_EQ(ui->shown[0].flags, MB_OK);
}

TEST(ProbeSourceFile, ReadsDurationSizeAndRateOfWhatWasMade) {
  for (ClipKind kind : {ClipKind::Mp4H264Aac, ClipKind::AviMpeg4Mp3, ClipKind::MkvVp8Vorbis,
                        ClipKind::Mp4VideoOnly, ClipKind::OddName}) {
    ScriptedUi ui;
    const auto facts = FactsOf(kind);
    const Probe probe = ProbeOf(Clip(kind));
    ASSERT_EQ(probe.result, 1) << Clip(kind);
    EXPECT_NEAR(probe.duration / 1e7, facts.seconds, 0.04) << "within one frame";
    EXPECT_EQ(probe.info.width, 320);
    EXPECT_EQ(probe.info.height, 240);
    EXPECT_EQ(probe.settings.outputWidth, 320);
    EXPECT_EQ(probe.settings.outputHeight, 240);
    EXPECT_DOUBLE_EQ(probe.info.frameRate, 25.0);
    EXPECT_TRUE(ui->shown.empty());
  }
}

TEST(ProbeSourceFile, AFilmRateStaysAFraction) {
  ScriptedUi ui;
  const Probe probe = ProbeOf(Clip(ClipKind::Mp4Film));
  ASSERT_EQ(probe.result, 1);
  EXPECT_NEAR(probe.info.frameRate, 24000.0 / 1001.0, 1e-9);
  EXPECT_NEAR(probe.duration / 1e7, FactsOf(ClipKind::Mp4Film).seconds, 1001.0 / 24000.0);
}

TEST(ProbeSourceFile, ASecondFileReplacesTheOutputSize) {
  ScriptedUi ui;
  Probe probe = ProbeOf(Clip(ClipKind::Mp4H264Aac));
  ASSERT_EQ(
      ProbeSourceFile(Clip(ClipKind::AviOddWidth), probe.duration, probe.info, probe.settings), 1);
  EXPECT_EQ(probe.settings.outputWidth, 321);
  EXPECT_EQ(probe.settings.outputHeight, 241);
}

TEST(ProbeSourceFile, RefusesAudioOnlyForWantOfAVideoSize) {
  ScriptedUi ui;
  const Probe probe = ProbeOf(Clip(ClipKind::Mp4AudioOnly));
  EXPECT_EQ(probe.result, 0);
  ExpectOneWindowMessage(ui, "Failed to GetVideoSize, please install appropriate video decoder");
  EXPECT_NEAR(probe.duration / 1e7, 2.0, 0.05) << "the duration read before stays";
  EXPECT_EQ(probe.settings.outputWidth, 0);
}

TEST(ProbeSourceFile, AVariableRateWithoutDeclaredRateOpensAtItsAverageRate) {
  ScriptedUi ui;
  const Probe probe = ProbeOf(Clip(ClipKind::MkvVariableRate));
  ASSERT_EQ(probe.result, 1);
  EXPECT_NEAR(probe.info.frameRate, 33 / 1.96, 0.2) << "34 frames over 1.96 s";
  EXPECT_TRUE(ui->shown.empty());
}

TEST(ProbeSourceFile, RefusesAnUnknownFrameTimeInsteadOfAnInfiniteRate) {
  ScriptedUi ui;
  Probe probe;
  probe.info.frameRate = 25;
  probe.result = ProbeSourceFile(Clip(ClipKind::MkvOneFrameNoRate), probe.duration, probe.info,
                                 probe.settings);
  EXPECT_EQ(probe.result, 0);
  ExpectOneWindowMessage(ui, "Failed to get_AvgTimePerFrame");
  EXPECT_EQ(probe.info.frameRate, 25) << "no infinite rate is stored";
  EXPECT_EQ(probe.info.width, 320) << "the size read before stays";
  EXPECT_EQ(probe.settings.outputWidth, 320);
  EXPECT_GE(probe.duration, 0) << "the duration read before stays";

  for (double frameTime : {0.0, -0.04, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()}) {
    FakeGraphSetup setup;
    setup.frameTime = frameTime;
    FakeGraphs graphs(setup);
    ui->Clear();
    EXPECT_EQ(ProbeOf("any.mp4").result, 0) << frameTime;
    ExpectOneWindowMessage(ui, "Failed to get_AvgTimePerFrame");
  }
}

TEST(ProbeSourceFile, AMissingVideoDecoderIsNamedAsSuch) {
  const test_support::DecodersHidden hidden("video/x-h264");
  ScriptedUi ui;
  EXPECT_EQ(ProbeOf(Clip(ClipKind::Mp4H264Aac)).result, 0);
  ExpectOneWindowMessage(ui, "Failed to GetVideoSize, please install appropriate video decoder");
}

TEST(ProbeSourceFile, BadFilesGetTheCannotOpenMessage) {
  const std::string home = test_support::HomeFolder();
  const std::string locked = home + "/locked.mp4";
  std::filesystem::copy_file(Clip(ClipKind::Mp4H264Aac), locked);
  chmod(locked.c_str(), 0);
  std::vector<std::string> bad = {Clip(ClipKind::TextNamedMp4),
                                  Clip(ClipKind::EmptyMp4),
                                  Clip(ClipKind::TruncatedMp4),
                                  Clip(ClipKind::StillImage),
                                  home,
                                  home + "/missing.mp4"};
  if (access(locked.c_str(), R_OK) != 0) bad.push_back(locked);
  for (const std::string& path : bad) {
    ScriptedUi ui;
    const Probe probe = ProbeOf(path);
    EXPECT_EQ(probe.result, 0) << path;
    ASSERT_EQ(ui->shown.size(), 1u) << path;
    EXPECT_EQ(ui->shown[0].text, kNotOpen);
    EXPECT_EQ(ui->shown[0].caption, "Error IDS_MESSAGE_NOT_OPEN_FILE");
    EXPECT_EQ(ui->shown[0].owner, nullptr);
    EXPECT_EQ(probe.duration, -1) << "nothing was read";
  }
}

TEST(ProbeSourceFile, EachFailingStepShowsItsOwnMessage) {
  struct Step {
    const char* message;
    void (*spoil)(FakeGraphSetup&);
  };
  const Step steps[] = {
      {"Failed to get IID_IMediaSeeking", [](FakeGraphSetup& s) { s.offersSeeking = false; }},
      {"Failed to GetStopPosition", [](FakeGraphSetup& s) { s.stopPositionResult = E_FAIL; }},
      {"Failed to IID_IBasicVideo", [](FakeGraphSetup& s) { s.offersBasicVideo = false; }},
      {"Failed to GetVideoSize, please install appropriate video decoder",
       [](FakeGraphSetup& s) { s.videoSizeResult = E_NOINTERFACE; }},
      {"Failed to get_AvgTimePerFrame", [](FakeGraphSetup& s) { s.frameTimeResult = E_FAIL; }},
  };
  for (const Step& step : steps) {
    ScriptedUi ui;
    FakeGraphSetup setup;
    step.spoil(setup);
    FakeGraphs graphs(setup);
    EXPECT_EQ(ProbeOf("any.mp4").result, 0);
    ExpectOneWindowMessage(ui, step.message);
  }
  ScriptedUi ui;
  {
    engine_test::ClassOverride missing(CLSID_FilterGraph);
    EXPECT_EQ(ProbeOf(Clip(ClipKind::Mp4H264Aac)).result, 0);
  }
  ExpectOneWindowMessage(ui, "Failed to CoCreateInstance");
}

TEST(CreateSourceGraph, KeepsThePlaybackGraphAndItsControl) {
  ScriptedUi ui;
  GraphContext context;
  const std::string path = Clip(ClipKind::OddName);
  ASSERT_EQ(CreateSourceGraph(path, context), 1);
  ASSERT_TRUE(context.graph);
  EXPECT_TRUE(context.control);
  EXPECT_FALSE(context.events);
  ComPtr<IBaseFilter> source;
  EXPECT_EQ(context.graph->FindFilterByName(path, source), S_OK)
      << "the teardown finds the source by the path";
  ComPtr<IMediaControl> control;
  context.graph.As(control);
  EXPECT_TRUE(SameObject(control, context.control));
  EXPECT_TRUE(ui->shown.empty());
}

TEST(CreateSourceGraph, AFailureLeavesTheContextWithoutAGraph) {
  ScriptedUi ui;
  GraphContext context;
  ASSERT_EQ(CreateSourceGraph(Clip(ClipKind::Mp4H264Aac), context), 1);
  const HRESULT hr = CreateSourceGraph(Clip(ClipKind::TextNamedMp4), context);
  EXPECT_EQ(hr, VFW_E_UNKNOWN_FILE_TYPE);
  EXPECT_FALSE(context.graph);
  EXPECT_FALSE(context.control);
  ASSERT_EQ(ui->shown.size(), 1u);
  EXPECT_EQ(ui->shown[0].text, kNotOpen);
  EXPECT_EQ(ui->shown[0].caption, "Error IDS_MESSAGE_NOT_OPEN_FILE");
}

TEST(CreateSourceGraph, AGraphWithoutControlIsReportedAndDropped) {
  ScriptedUi ui;
  GraphContext context;
  FakeGraphSetup setup;
  setup.offersControl = false;
  FakeGraphs graphs(setup);
  EXPECT_EQ(CreateSourceGraph("any.mp4", context), E_NOINTERFACE);
  EXPECT_FALSE(context.graph);
  EXPECT_FALSE(context.control);
  ASSERT_EQ(ui->shown.size(), 1u);
  EXPECT_EQ(ui->shown[0].text, "Could not get pControl");
  EXPECT_EQ(ui->shown[0].flags, MB_OK | MB_ICONEXCLAMATION);
}

TEST(CreateSourceGraph, AGraphThatCannotBeMadeReturnsItsCodeSilently) {
  ScriptedUi ui;
  GraphContext context;
  engine_test::ClassOverride missing(CLSID_FilterGraph);
  EXPECT_EQ(CreateSourceGraph(Clip(ClipKind::Mp4H264Aac), context), REGDB_E_CLASSNOTREG);
  EXPECT_FALSE(context.graph);
  EXPECT_TRUE(ui->shown.empty());
}

}  // namespace
