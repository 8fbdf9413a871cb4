// Real conversions through the engine: the source graph rewired by the
// conversion graph builder, run to its end (or stopped), torn down, and
// every file written judged by ffprobe and ffmpeg.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <fstream>
#include <limits>

#include "platform/dshow/error_text.h"
#include "platform/dshow/errors.h"
#include "platform/ui/application.h"
#include "tests/engine/conversion_rig.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/media_fixtures.h"

namespace {

using engine_test::ConversionRig;
using engine_test::RunEnd;
using test_support::Clip;
using test_support::ClipKind;
using test_support::DecodeErrors;
using test_support::FfProbe;

constexpr int kAvi = 0, kWmv = 1, kMkv = 2, kAsf = 3, kMp4 = 4, kDsm = 5, kOgm = 6;

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

// Streams as made, the duration within 0.2 s, and not one decoding error.
test_support::ProbeReport ExpectCleanFile(const std::string& path, double seconds) {
  const auto report = FfProbe(path);
  EXPECT_TRUE(report.ok) << path << ": " << report.error;
  EXPECT_NEAR(report.duration, seconds, 0.2) << path;
  EXPECT_EQ(DecodeErrors(path), "") << path;
  return report;
}

void ExpectCompleted(const RunEnd& end, ConversionRig& rig) {
  EXPECT_EQ(end.event, EC_COMPLETE) << AMGetErrorTextA(static_cast<HRESULT>(end.param1));
  EXPECT_GT(rig.Notifications(), 0) << "every event is posted to the window";
  EXPECT_TRUE(rig.Messages().empty()) << testing::PrintToString(rig.Messages());
}

class WindowsMedia : public testing::TestWithParam<int> {};

TEST_P(WindowsMedia, WritesTheProfilesStreamsAtTheOutputSizeAndTruncatedRate) {
  const bool wmv = GetParam() == kWmv;
  ConversionRig rig(Clip(ClipKind::Mp4H264Aac), GetParam(), wmv ? "out.wmv" : "out.asf");
  rig.settings.outputWidth = 352;
  rig.settings.outputHeight = 288;
  rig.settings.frameRate = 23.976;  // declared as 23 frames per second
  ExpectCompleted(rig.Convert(), rig);

  const auto report = ExpectCleanFile(rig.settings.outputPath, 2.0);
  ASSERT_EQ(report.CountOf("video"), 1);
  ASSERT_EQ(report.CountOf("audio"), 1);
  const auto video = report.First("video");
  EXPECT_EQ(video.codecName, "wmv2");
  EXPECT_EQ(video.width, 352);
  EXPECT_EQ(video.height, 288);
  EXPECT_DOUBLE_EQ(video.frameRate, 23.0);
  const auto audio = report.First("audio");
  EXPECT_EQ(audio.codecName, "wmav2");
  EXPECT_EQ(audio.sampleRate, 44100);
  EXPECT_EQ(audio.channels, 2);
  EXPECT_NEAR(test_support::MeasuredBitrate(rig.settings.outputPath, "audio"), 128000, 6400);
  EXPECT_EQ(rig.settings.videoCompressionOn, 0) << "the writer encodes by itself";
}

INSTANTIATE_TEST_SUITE_P(Formats, WindowsMedia, testing::Values(kWmv, kAsf),
                         [](const auto& test) { return test.param == kWmv ? "Wmv" : "Asf"; });

// Rates the profile cannot hold are refused before anything is built, with
// a message that says why; the graph stays the source's.
TEST(WindowsMedia, FrameRatesTheProfileCannotHoldAreRefusedBeforeTheBuild) {
  struct Case {
    double rate;
    const char* says;
  };
  const Case cases[] = {
      {0.5, "The output frame rate 0.5 is below one frame per second."},
      {-1e300, "The output frame rate -1e+300 is below one frame per second."},
      {1e12,
       "The output frame rate 1e+12 cannot be written: a Windows Media file holds at most "
       "10000000 frames per second."},
      {10'000'001.0, "The output frame rate 1e+07 cannot be written"},
      {std::numeric_limits<double>::infinity(), "The output frame rate inf cannot be written"},
      {std::numeric_limits<double>::quiet_NaN(), "The output frame rate is not a number."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    ConversionRig rig(Clip(ClipKind::Mp4H264Aac), kWmv, "rate.wmv");
    rig.settings.frameRate = c.rate;
    EXPECT_EQ(rig.Build(), E_INVALIDARG);
    const auto boxes = rig.ui_->OfKind(test_support::Shown::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(c.says), std::string::npos) << boxes[0].text;
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_FALSE(rig.context.events) << "nothing was built";
  }
  ConversionRig highest(Clip(ClipKind::Mp4H264Aac), kWmv, "highest.wmv");
  highest.settings.frameRate = 10'000'000.9;  // its whole part is the highest rate
  EXPECT_EQ(highest.Build(), S_OK) << testing::PrintToString(highest.Messages());
}

TEST(WindowsMedia, TheProfilesBitratesReachTheFile) {
  ConversionRig rig(gst_test::BusyClip(), kWmv, "busy.wmv");
  rig.settings.outputWidth = 640;
  rig.settings.outputHeight = 480;
  rig.settings.videoBitrate = 798720;
  rig.settings.audioBitrate = 64000;
  ExpectCompleted(rig.Convert(), rig);
  ExpectCleanFile(rig.settings.outputPath, 4.0);
  const std::string& file = rig.settings.outputPath;
  EXPECT_NEAR(test_support::MeasuredBitrate(file, "video"), 798720, 0.05 * 798720);
  EXPECT_NEAR(test_support::MeasuredBitrate(file, "audio"), 64000, 3200);
}

TEST(Avi, WritesTheCataloguesEncodersAndRunsAgainWithoutReopening) {
  ConversionRig rig(Clip(ClipKind::Mp4H264Aac), kAvi, "out.avi");
  rig.UseCompressors("MPEG-4 part 2", "L.A.M.E.");
  // Held so that a renewed compressor cannot reuse the old one's address.
  const ComPtr<IBaseFilter> firstVideo = rig.context.videoCompressor;
  const ComPtr<IBaseFilter> firstAudio = rig.context.audioCompressor;
  ExpectCompleted(rig.Convert(), rig);
  auto report = ExpectCleanFile(rig.settings.outputPath, 2.0);
  EXPECT_EQ(report.First("video").codecName, "mpeg4");
  EXPECT_EQ(report.First("video").width, 320);
  EXPECT_EQ(report.First("audio").codecName, "mp3");

  // The teardown renewed the compressors and opened the source again.
  ASSERT_TRUE(rig.context.videoCompressor);
  ASSERT_TRUE(rig.context.audioCompressor);
  EXPECT_NE(rig.context.videoCompressor.Get(), firstVideo.Get());
  EXPECT_NE(rig.context.audioCompressor.Get(), firstAudio.Get());
  ASSERT_TRUE(rig.context.control);
  rig.settings.outputPath = gst_test::OutputPath("again.avi");
  ExpectCompleted(rig.Convert(), rig);
  report = ExpectCleanFile(rig.settings.outputPath, 2.0);
  EXPECT_EQ(report.First("video").codecName, "mpeg4");
}

TEST(Avi, WritesUncompressedStreams) {
  ConversionRig rig(Clip(ClipKind::Mp4H264Aac), kAvi, "raw.avi");
  rig.UseCompressors("", "");
  ExpectCompleted(rig.Convert(), rig);
  const auto report = ExpectCleanFile(rig.settings.outputPath, 2.0);
  EXPECT_EQ(report.First("video").codecName, "rawvideo");
  EXPECT_EQ(report.First("video").width, 320);
  EXPECT_EQ(report.First("audio").codecName.rfind("pcm_", 0), 0u)
      << report.First("audio").codecName;
}

TEST(Matroska, WritesTheChosenEncoders) {
  ConversionRig rig(Clip(ClipKind::AviMpeg4Mp3), kMkv, "out.mkv");
  rig.UseCompressors("x264", "Vorbis");
  ExpectCompleted(rig.Convert(), rig);
  const auto report = ExpectCleanFile(rig.settings.outputPath, 2.0);
  EXPECT_EQ(report.First("video").codecName, "h264");
  EXPECT_EQ(report.First("audio").codecName, "vorbis");
}

TEST(Mp4, WritesARealMp4File) {
  ConversionRig rig(Clip(ClipKind::MkvVp8Vorbis), kMp4, "out.mp4");
  rig.UseCompressors("x264", "libav AAC");
  ExpectCompleted(rig.Convert(), rig);
  const auto report = ExpectCleanFile(rig.settings.outputPath, 2.0);
  EXPECT_EQ(report.First("video").codecName, "h264");
  EXPECT_EQ(report.First("audio").codecName, "aac");
  std::ifstream file(rig.settings.outputPath, std::ios::binary);
  char head[8] = {};
  file.read(head, sizeof head);
  EXPECT_EQ(std::string(head + 4, 4), "ftyp") << "an ISO media file, not Matroska";
}

// A stream the multiplexer cannot take fails where it is connected: the
// video side says so in a window message ("Error"), the audio side in an
// application message (the program's name, exclamation icon).
TEST(Mp4, RawStreamsAreRefusedWhenTheyAreConnected) {
  struct Case {
    const char* video;
    const char* audio;
    const char* text;
    std::string caption;
    UINT flags;
  };
  const Case cases[] = {
      {"", "libav AAC", "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux)", "Error",
       MB_OK},
      {"x264", "", "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux )",
       ui::Application::Name(), MB_OK | MB_ICONEXCLAMATION},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ConversionRig rig(Clip(ClipKind::Mp4H264Aac), kMp4, "raw.mp4");
    rig.UseCompressors(c.video, c.audio);
    EXPECT_EQ(rig.Build(), VFW_E_CANNOT_CONNECT);
    const auto boxes = rig.ui_->OfKind(test_support::Shown::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 2u) << testing::PrintToString(rig.Messages());
    EXPECT_EQ(boxes[0].text, c.text);
    EXPECT_EQ(boxes[0].caption, c.caption);
    EXPECT_EQ(boxes[0].flags, c.flags);
    EXPECT_EQ(boxes[1].text, AMGetErrorTextA(VFW_E_CANNOT_CONNECT));
    rig.TearDown();
    EXPECT_FALSE(Exists(rig.settings.outputPath));
  }
}

// The help page a missing multiplexer's remedy opens, and what it says.
std::string RemedyPage(ConversionRig& rig) {
  const auto opened = rig.ui_->OfKind(test_support::Shown::Kind::Address);
  if (opened.size() != 1u || !opened[0].text.starts_with("file:///")) return "";
  std::ifstream in(opened[0].text.substr(std::string("file://").size()), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Dsm, SaysWhatToInstallAndWritesNothing) {
  ConversionRig rig(Clip(ClipKind::Mp4H264Aac), kDsm, "out.dsm");
  EXPECT_EQ(rig.Build(), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(rig.Messages(), std::vector<std::string>{"Please install DSM Splitter/Muxer codec)"});
  EXPECT_NE(RemedyPage(rig).find("<h1>The DSM multiplexer is missing</h1>"), std::string::npos);
  rig.TearDown();
  EXPECT_FALSE(Exists(rig.settings.outputPath));
}

// Without GStreamer's Matroska multiplexer (taken out of the registry for
// this test) MKV output names the package that brings it.
TEST(Matroska, AMissingMultiplexerOpensThePageThatSaysWhichPackageToInstall) {
  GstRegistry* registry = gst_registry_get();
  GstPluginFeature* muxer = gst_registry_lookup_feature(registry, "matroskamux");
  ASSERT_NE(muxer, nullptr);
  gst_registry_remove_feature(registry, muxer);
  ConversionRig rig(Clip(ClipKind::Mp4H264Aac), kMkv, "out.mkv");
  rig.UseCompressors("x264", "Vorbis");
  EXPECT_LT(rig.Build(), 0);
  gst_registry_add_feature(registry, muxer);
  gst_object_unref(muxer);
  EXPECT_EQ(rig.Messages(), std::vector<std::string>{"Please install MKV codec)"});
  const std::string page = RemedyPage(rig);
  EXPECT_NE(page.find("gstreamer1.0-plugins-good"), std::string::npos) << page;
  EXPECT_NE(page.find("sudo apt install"), std::string::npos);
  rig.TearDown();
  EXPECT_FALSE(Exists(rig.settings.outputPath));
}

TEST(Ogm, RunsToTheEndWithoutWritingAFile) {
  ConversionRig rig(Clip(ClipKind::Mp4H264Aac), kOgm, "out.ogm");
  rig.UseCompressors("", "");
  ExpectCompleted(rig.Convert(), rig);
  EXPECT_FALSE(Exists(rig.settings.outputPath));
}

TEST(Sources, WithoutAudioTheBuildFailsAsTheWindowExpects) {
  ConversionRig rig(Clip(ClipKind::Mp4VideoOnly), kWmv, "out.wmv");
  EXPECT_EQ(rig.Build(), E_FAIL);
  EXPECT_EQ(rig.Messages(), std::vector<std::string>{"Cannot find audio renderer input pin!"});
  rig.TearDown();
  EXPECT_TRUE(rig.context.control) << "the source opens again";
}

TEST(Sources, AnOddWidthConverts) {
  ConversionRig wmv(Clip(ClipKind::AviOddWidthWithAudio), kWmv, "odd.wmv");
  ExpectCompleted(wmv.Convert(), wmv);
  auto report = ExpectCleanFile(wmv.settings.outputPath, 2.0);
  EXPECT_EQ(report.First("video").width, 320) << "the encoder needs an even width";
  EXPECT_EQ(report.First("video").height, 241);

  ConversionRig avi(Clip(ClipKind::AviOddWidthWithAudio), kMkv, "odd.mkv");
  avi.UseCompressors("x264", "Vorbis");
  ExpectCompleted(avi.Convert(), avi);
  report = ExpectCleanFile(avi.settings.outputPath, 2.0);
  EXPECT_NEAR(report.First("video").width, 321, 1);
  EXPECT_NEAR(report.First("video").height, 241, 1);
}

TEST(Sources, AVariableRateConvertsAtItsAverageRate) {
  ConversionRig wmv(Clip(ClipKind::MkvVariableRateWithAudio), kWmv, "vfr.wmv");
  EXPECT_NEAR(wmv.media.frameRate, 33 / 1.96, 0.2);
  ExpectCompleted(wmv.Convert(), wmv);
  auto report = ExpectCleanFile(wmv.settings.outputPath, 2.0);
  EXPECT_DOUBLE_EQ(report.First("video").frameRate, 16.0) << "the average rate, truncated";

  ConversionRig avi(Clip(ClipKind::MkvVariableRateWithAudio), kAvi, "vfr.avi");
  avi.UseCompressors("MPEG-4 part 2", "L.A.M.E.");
  ExpectCompleted(avi.Convert(), avi);
  report = ExpectCleanFile(avi.settings.outputPath, 2.0);
  EXPECT_NEAR(report.First("video").frameRate, 33 / 1.96, 0.2) << "a constant rate in AVI";
}

TEST(Sources, HighRateAndSurroundAudioBecomeTheProfilesStereo) {
  for (ClipKind kind : {ClipKind::Mp4Audio96k, ClipKind::Mp4Surround}) {
    ConversionRig rig(Clip(kind), kWmv, "audio.wmv");
    ExpectCompleted(rig.Convert(), rig);
    const auto report = ExpectCleanFile(rig.settings.outputPath, 2.0);
    EXPECT_EQ(report.First("audio").sampleRate, 44100);
    EXPECT_EQ(report.First("audio").channels, 2);
  }
}

struct FormatCase {
  int format;
  const char* name;
  const char* video;  // compressors, for the formats that use them
  const char* audio;
};

void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }

std::string ExtensionOf(const testing::TestParamInfo<FormatCase>& info) {
  const std::string name = info.param.name;
  return name.substr(name.find('.') + 1);
}

class OfTwoAudioTracks : public testing::TestWithParam<FormatCase> {};

TEST_P(OfTwoAudioTracks, TheFirstIsConverted) {
  // The first track is a loud tone, the second a quiet one.
  const FormatCase& c = GetParam();
  ConversionRig rig(Clip(ClipKind::MkvTwoAudioTracks), c.format, c.name);
  rig.UseCompressors(c.video, c.audio);
  ExpectCompleted(rig.Convert(), rig);
  const auto report = ExpectCleanFile(rig.settings.outputPath, 2.0);
  ASSERT_EQ(report.CountOf("audio"), 1);
  EXPECT_GT(test_support::MeanVolume(rig.settings.outputPath), -20.0);
}

INSTANTIATE_TEST_SUITE_P(Formats, OfTwoAudioTracks,
                         testing::Values(FormatCase{kAvi, "two.avi", "MPEG-4 part 2", "L.A.M.E."},
                                         FormatCase{kWmv, "two.wmv", "", ""},
                                         FormatCase{kAsf, "two.asf", "", ""},
                                         FormatCase{kMkv, "two.mkv", "x264", "Vorbis"},
                                         FormatCase{kMp4, "two.mp4", "x264", "libav AAC"}),
                         ExtensionOf);

class StoppedHalfway : public testing::TestWithParam<FormatCase> {};

TEST_P(StoppedHalfway, LeavesAValidFileUpToTheStopPoint) {
  const FormatCase& c = GetParam();
  ConversionRig rig(gst_test::LongClip(), c.format, c.name);
  rig.UseCompressors(c.video, c.audio);
  ASSERT_TRUE(rig.BuildAndStart());
  ASSERT_TRUE(rig.WaitForPosition(6.0));
  const double before = rig.PositionSeconds();
  rig.TearDown();
  EXPECT_TRUE(rig.Messages().empty()) << testing::PrintToString(rig.Messages());

  const auto report = FfProbe(rig.settings.outputPath);
  ASSERT_TRUE(report.ok) << report.error;
  EXPECT_GT(report.duration, before - 0.5);
  // In flight: the decoder's queue, the branch queues and x264's look-ahead,
  // more of it on a loaded machine; still far from the clip's 30 s end.
  EXPECT_LT(report.duration, before + 5.0) << "what was in flight when it stopped, no more";
  EXPECT_EQ(report.CountOf("video"), 1);
  EXPECT_EQ(report.CountOf("audio"), 1);
  EXPECT_EQ(DecodeErrors(rig.settings.outputPath), "");
}

INSTANTIATE_TEST_SUITE_P(Writers, StoppedHalfway,
                         testing::Values(FormatCase{kAsf, "stopped.asf", "", ""},
                                         FormatCase{kAvi, "stopped.avi", "MPEG-4 part 2",
                                                    "L.A.M.E."},
                                         FormatCase{kMkv, "stopped.mkv", "x264", "Vorbis"},
                                         FormatCase{kMp4, "stopped.mp4", "x264", "libav AAC"}),
                         ExtensionOf);

}  // namespace
