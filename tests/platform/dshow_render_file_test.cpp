// RenderFile on real files made by the fixtures: the playback graph it
// builds, what the graph then answers, and the files it refuses.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "platform/dshow/error_text.h"
#include "platform/dshow/errors.h"
#include "tests/platform/dshow_test_helpers.h"
#include "tests/support/ffmpeg_clips.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/test_environment.h"

namespace {

using namespace dshow_test;
using test_support::Clip;
using test_support::ClipKind;
using test_support::FactsOf;

TEST(RenderFile, BuildsSourceDecodersAndOneRendererPerKind) {
  const std::string path = Clip(ClipKind::Mp4H264Aac);
  auto graph = NewGraph();
  ASSERT_EQ(graph->RenderFile(path), S_OK);

  const auto names = Names(*graph);
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0], path) << "the source filter is named by the full path";
  EXPECT_EQ(names[2], "Video Renderer");
  EXPECT_EQ(names[4], "Audio Renderer");

  ComPtr<IBaseFilter> source;
  ASSERT_EQ(graph->FindFilterByName(path, source), S_OK);
  EXPECT_EQ(Pins(*source, PINDIR_INPUT).size(), 0u);
  EXPECT_EQ(Pins(*source, PINDIR_OUTPUT).size(), 2u);

  EXPECT_EQ(Renderers(*graph).size(), 2u);
  auto video = RendererOf(*graph, MEDIATYPE_Video);
  auto audio = RendererOf(*graph, MEDIATYPE_Audio);
  ASSERT_TRUE(video);
  ASSERT_TRUE(audio);

  // Each renderer is fed by a decoder whose input comes from the source.
  for (auto& renderer : {video, audio}) {
    ComPtr<IPin> decoded;
    ASSERT_EQ(Pins(*renderer, PINDIR_INPUT)[0]->ConnectedTo(decoded), S_OK);
    PIN_INFO decodedInfo;
    ASSERT_EQ(decoded->QueryPinInfo(decodedInfo), S_OK);
    EXPECT_EQ(decodedInfo.dir, PINDIR_OUTPUT);
    ComPtr<IPin> fromSource;
    ASSERT_EQ(Pins(*decodedInfo.pFilter, PINDIR_INPUT)[0]->ConnectedTo(fromSource), S_OK);
    PIN_INFO sourceInfo;
    fromSource->QueryPinInfo(sourceInfo);
    EXPECT_TRUE(SameObject(sourceInfo.pFilter, source));
  }
}

TEST(RenderFile, RendersOnlyTheFirstOfTwoAudioTracks) {
  auto graph = NewGraph();
  ASSERT_EQ(graph->RenderFile(Clip(ClipKind::MkvTwoAudioTracks)), S_OK);
  EXPECT_EQ(Renderers(*graph).size(), 2u);

  ComPtr<IBaseFilter> source;
  ASSERT_EQ(graph->FindFilterByName(Clip(ClipKind::MkvTwoAudioTracks), source), S_OK);
  ASSERT_EQ(Pins(*source, PINDIR_OUTPUT).size(), 3u);
  int unconnectedDecoders = 0;
  for (auto& filter : Filters(*graph)) {
    const auto inputs = Pins(*filter, PINDIR_INPUT);
    const auto outputs = Pins(*filter, PINDIR_OUTPUT);
    ComPtr<IPin> peer;
    if (inputs.size() == 1 && outputs.size() == 1 &&
        outputs[0]->ConnectedTo(peer) == VFW_E_NOT_CONNECTED)
      ++unconnectedDecoders;
  }
  EXPECT_EQ(unconnectedDecoders, 1) << "the second track is decoded but not rendered";
}

struct Expected {
  ClipKind kind;
  const char* label;
};
void PrintTo(const Expected& expected, std::ostream* out) { *out << expected.label; }

class RenderedClip : public ::testing::TestWithParam<Expected> {};

TEST_P(RenderedClip, AnswersDurationSizeAndFrameTimeAsMade) {
  const auto facts = FactsOf(GetParam().kind);
  auto graph = NewGraph();
  ASSERT_TRUE(SUCCEEDED(graph->RenderFile(Clip(GetParam().kind))));

  ComPtr<IMediaSeeking> seeking;
  ASSERT_EQ(graph.As(seeking), S_OK);
  REFERENCE_TIME duration = 0;
  ASSERT_EQ(seeking->GetStopPosition(duration), S_OK);
  const double frame = static_cast<double>(facts.frameRateDenominator) / facts.frameRateNumerator;
  EXPECT_NEAR(duration / 1e7, facts.seconds, frame) << "within one frame";

  ComPtr<IBasicVideo> video;
  ASSERT_EQ(graph.As(video), S_OK);
  long width = 0, height = 0;
  ASSERT_EQ(video->GetVideoSize(width, height), S_OK);
  EXPECT_EQ(width, facts.width);
  EXPECT_EQ(height, facts.height);
  REFTIME frameTime = 0;
  ASSERT_EQ(video->get_AvgTimePerFrame(frameTime), S_OK);
  EXPECT_NEAR(1.0 / frameTime,
              static_cast<double>(facts.frameRateNumerator) / facts.frameRateDenominator, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Clips, RenderedClip,
                         ::testing::Values(Expected{ClipKind::Mp4H264Aac, "Mp4"},
                                           Expected{ClipKind::AviMpeg4Mp3, "Avi"},
                                           Expected{ClipKind::MkvVp8Vorbis, "Mkv"},
                                           Expected{ClipKind::Mp4Film, "Film"},
                                           Expected{ClipKind::AviOddWidth, "OddWidth"},
                                           Expected{ClipKind::Mp4Audio96k, "Audio96k"},
                                           Expected{ClipKind::Mp4Surround, "Surround"},
                                           Expected{ClipKind::Mp4VideoOnly, "VideoOnly"},
                                           Expected{ClipKind::OddName, "OddName"},
                                           Expected{ClipKind::WebmRecordedLive, "LiveWebm"}),
                         [](const auto& test) { return std::string(test.param.label); });

// GStreamer's demultiplexer gives no length for it.
TEST(RenderFile, ABroadcastWhoseClockWrapsAroundIsAsLongAsItPlays) {
  auto graph = NewGraph();
  ASSERT_EQ(graph->RenderFile(test_support::Clip(test_support::FfmpegClip::WrappingClockTs)), S_OK);
  ComPtr<IMediaSeeking> seeking;
  ASSERT_EQ(graph.As(seeking), S_OK);
  REFERENCE_TIME duration = 0;
  ASSERT_EQ(seeking->GetStopPosition(duration), S_OK);
  EXPECT_NEAR(duration / 1e7, 4.0, 0.1);
}

TEST(RenderFile, FilmRateIsNotAWholeNumber) {
  auto graph = NewGraph();
  ASSERT_EQ(graph->RenderFile(Clip(ClipKind::Mp4Film)), S_OK);
  ComPtr<IBasicVideo> video;
  graph.As(video);
  REFTIME frameTime = 0;
  ASSERT_EQ(video->get_AvgTimePerFrame(frameTime), S_OK);
  EXPECT_NEAR(1.0 / frameTime, 23.976, 0.001);
  EXPECT_NE(std::floor(1.0 / frameTime), 1.0 / frameTime);
}

TEST(RenderFile, AudioOnlyHasADurationButNoVideoSize) {
  auto graph = NewGraph();
  ASSERT_EQ(graph->RenderFile(Clip(ClipKind::Mp4AudioOnly)), S_OK);
  EXPECT_EQ(Renderers(*graph).size(), 1u);
  ComPtr<IMediaSeeking> seeking;
  graph.As(seeking);
  REFERENCE_TIME duration = 0;
  EXPECT_EQ(seeking->GetStopPosition(duration), S_OK);
  EXPECT_NEAR(duration / 1e7, 2.0, 0.05);

  ComPtr<IBasicVideo> video;
  ASSERT_EQ(graph.As(video), S_OK) << "the graph always offers the interface";
  long width = 0, height = 0;
  EXPECT_EQ(video->GetVideoSize(width, height), E_NOINTERFACE);
  REFTIME frameTime = 0;
  EXPECT_EQ(video->get_AvgTimePerFrame(frameTime), E_NOINTERFACE);
}

TEST(RenderFile, RemovingTheVideoRendererTakesTheVideoSizeAway) {
  auto graph = NewGraph();
  ASSERT_EQ(graph->RenderFile(Clip(ClipKind::Mp4H264Aac)), S_OK);
  ASSERT_EQ(graph->RemoveFilter(RendererOf(*graph, MEDIATYPE_Video).Get()), S_OK);
  ComPtr<IBasicVideo> video;
  graph.As(video);
  long width = 0, height = 0;
  EXPECT_EQ(video->GetVideoSize(width, height), E_NOINTERFACE);
}

TEST(RenderFile, VariableRateWithoutDeclaredRateGivesTheAverageFrameTime) {
  auto graph = NewGraph();
  ASSERT_EQ(graph->RenderFile(Clip(ClipKind::MkvVariableRate)), S_OK);
  ComPtr<IBasicVideo> video;
  graph.As(video);
  long width = 0, height = 0;
  EXPECT_EQ(video->GetVideoSize(width, height), S_OK);
  REFTIME frameTime = -1;
  ASSERT_EQ(video->get_AvgTimePerFrame(frameTime), S_OK);
  // 34 frames kept of 50 at 25 per second: the first at 0 s, the last at
  // 1.96 s, so 33 gaps of 1.96 / 33 s on average.
  EXPECT_NEAR(frameTime, 1.96 / 33, 1e-3);
}

// The file declares no rate; libav's decoder then says 25 whatever the rate,
// and a 30 fps film lost one picture in six when written at it.
TEST(RenderFile, AWindowsMediaFileGivesTheFrameTimeOfItsFrames) {
  auto graph = NewGraph();
  ASSERT_EQ(graph->RenderFile(test_support::Clip(test_support::FfmpegClip::WindowsMedia30)), S_OK);
  ComPtr<IBasicVideo> video;
  graph.As(video);
  REFTIME frameTime = -1;
  ASSERT_EQ(video->get_AvgTimePerFrame(frameTime), S_OK);
  EXPECT_DOUBLE_EQ(frameTime, 1.0 / 30) << "its times, kept in milliseconds, are 30 a second";
}

TEST(RenderFile, AFrameTimeThatCannotBeMeasuredStaysUnknown) {
  auto graph = NewGraph();
  ASSERT_EQ(graph->RenderFile(Clip(ClipKind::MkvOneFrameNoRate)), S_OK);
  ComPtr<IBasicVideo> video;
  graph.As(video);
  REFTIME frameTime = -1;
  ASSERT_EQ(video->get_AvgTimePerFrame(frameTime), S_OK);
  EXPECT_EQ(frameTime, 0.0) << "0 stands for an unknown frame time, never a made-up one";
}

TEST(RenderFile, RendersWhatItCanDecodeAndSaysWhatItCannot) {
  const test_support::DecodersHidden hidden("video/x-h264");
  auto graph = NewGraph();
  EXPECT_EQ(graph->RenderFile(Clip(ClipKind::Mp4H264Aac)), VFW_S_VIDEO_NOT_RENDERED);
  EXPECT_FALSE(RendererOf(*graph, MEDIATYPE_Video));
  EXPECT_TRUE(RendererOf(*graph, MEDIATYPE_Audio));
  ComPtr<IBasicVideo> video;
  graph.As(video);
  long width = 0, height = 0;
  EXPECT_EQ(video->GetVideoSize(width, height), E_NOINTERFACE);

  auto videoOnly = NewGraph();
  EXPECT_EQ(videoOnly->RenderFile(Clip(ClipKind::Mp4VideoOnly)), VFW_E_CANNOT_RENDER);
  EXPECT_TRUE(Filters(*videoOnly).empty());
}

// Each bad input fails with a code that has a text, and leaves the graph as
// it was (how quickly is measured in bench/).
void ExpectRefused(const std::string& path, HRESULT expected) {
  auto graph = NewGraph();
  const HRESULT hr = graph->RenderFile(path);
  EXPECT_EQ(hr, expected) << path << ": " << AMGetErrorTextA(hr);
  EXPECT_TRUE(Filters(*graph).empty()) << path;
  EXPECT_EQ(AMGetErrorTextA(hr).rfind("Unknown", 0), std::string::npos) << path;
}

TEST(RenderFile, RefusesFilesThatCannotBePlayed) {
  ExpectRefused(Clip(ClipKind::TextNamedMp4), VFW_E_UNKNOWN_FILE_TYPE);
  ExpectRefused(Clip(ClipKind::EmptyMp4), VFW_E_UNKNOWN_FILE_TYPE);
  ExpectRefused(Clip(ClipKind::TruncatedMp4), VFW_E_INVALID_FILE_FORMAT);
  ExpectRefused(Clip(ClipKind::StillImage), VFW_E_UNSUPPORTED_STREAM);
}

TEST(RenderFile, RefusesWhatIsNoReadableFile) {
  const std::string home = test_support::HomeFolder();
  ExpectRefused(home + "/no such file.mp4", HRESULT_FILE_NOT_FOUND);
  ExpectRefused(home, VFW_E_CANNOT_LOAD_SOURCE_FILTER);
  ExpectRefused("", E_INVALIDARG);
  ExpectRefused(std::string("a\0b.mp4", 7), E_INVALIDARG);
  ExpectRefused(home + "/" + std::string(300, 'x') + ".mp4", HRESULT_FILENAME_TOO_LONG);

  const std::string fifo = home + "/pipe.mp4";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ExpectRefused(fifo, VFW_E_CANNOT_LOAD_SOURCE_FILTER);
}

TEST(RenderFile, RefusesAFileItCannotRead) {
  const std::string locked = test_support::HomeFolder() + "/locked.mp4";
  std::filesystem::copy_file(Clip(ClipKind::Mp4H264Aac), locked);
  ASSERT_EQ(chmod(locked.c_str(), 0), 0);
  if (access(locked.c_str(), R_OK) == 0) GTEST_SKIP() << "this user reads every file";
  ExpectRefused(locked, E_ACCESSDENIED);
}

// What was learnt about a file is used again only while it is the same file.
TEST(RenderFile, AFileReplacedUnderItsNameIsLearntAnew) {
  const std::string path = test_support::HomeFolder() + "/replaced.mp4";
  const auto sizeOf = [&path] {
    auto graph = NewGraph();
    long width = 0, height = 0;
    ComPtr<IBasicVideo> video;
    if (FAILED(graph->RenderFile(path)) || FAILED(graph.As(video)) ||
        FAILED(video->GetVideoSize(width, height)))
      return std::make_pair(0L, 0L);
    return std::make_pair(width, height);
  };
  const auto copy = std::filesystem::copy_options::overwrite_existing;
  std::filesystem::copy_file(Clip(ClipKind::Mp4H264Aac), path, copy);
  EXPECT_EQ(sizeOf(), std::make_pair(320L, 240L));
  EXPECT_EQ(sizeOf(), std::make_pair(320L, 240L));
  std::filesystem::copy_file(Clip(ClipKind::AviOddWidth), path, copy);
  EXPECT_EQ(sizeOf(), std::make_pair(321L, 241L));
  std::filesystem::copy_file(Clip(ClipKind::TextNamedMp4), path, copy);
  EXPECT_EQ(sizeOf(), std::make_pair(0L, 0L));
  std::filesystem::remove(path);
  EXPECT_EQ(NewGraph()->RenderFile(path), HRESULT_FILE_NOT_FOUND);
}

}  // namespace
