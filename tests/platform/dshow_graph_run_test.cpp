// Running a graph: the pipeline a graph stands for, the checks of the
// output file made before starting, the codes failures become, and the
// graph's state while it runs.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/dshow/capture_interfaces.h"
#include "platform/dshow/error_text.h"
#include "platform/dshow/errors.h"
#include "platform/dshow/graph_run.h"
#include "platform/dshow/media_discovery.h"
#include "platform/dshow/model_filters.h"
#include "platform/dshow/run_plan.h"
#include "platform/wmf/codec_catalogue.h"
#include "platform/wmf/profile_objects.h"
#include "tests/platform/dshow_test_helpers.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/waiting.h"

namespace {

using namespace dshow_test;
using test_support::Clip;
using test_support::ClipKind;

// A source graph rewired by hand as the conversion graph builder does it.
struct Conversion {
  explicit Conversion(ClipKind kind) {
    EXPECT_EQ(graph->RenderFile(Clip(kind)), S_OK);
    for (const GUID* major : {&MEDIATYPE_Video, &MEDIATYPE_Audio}) {
      auto renderer = RendererOf(*graph, *major);
      ComPtr<IPin> decoded;
      Pins(*renderer, PINDIR_INPUT)[0]->ConnectedTo(decoded);
      (major == &MEDIATYPE_Video ? video : audio) = decoded;
      graph->RemoveFilter(renderer.Get());
    }
    CoCreate(CLSID_CaptureGraphBuilder2, builder);
    builder->SetFiltergraph(graph.Get());
  }
  GstElement* AddCompressor(dshow::StreamKind kind, const char* factory,
                            ComPtr<IBaseFilter>& filter) {
    dshow::MakeCompressorFilter(kind, factory, filter);
    graph->AddFilter(filter.Get(), factory);
    return std::get<dshow::CompressorRole>(*dshow::RoleOf(*filter)).element.get();
  }
  ComPtr<IGraphBuilder> graph = NewGraph();
  ComPtr<ICaptureGraphBuilder2> builder;
  ComPtr<IPin> video, audio;
};

TEST(RunPlan, AMultiplexedFileUsesTheFiltersOwnElements) {
  Conversion c(ClipKind::Mp4H264Aac);
  ComPtr<IBaseFilter> mux, encoder;
  ComPtr<IFileSinkFilter> sink;
  const std::string output = gst_test::OutputPath("planned.mkv");
  ASSERT_EQ(c.builder->SetOutputFileName(CLSID_MatroskaMuxer, output, mux, sink), S_OK);
  GstElement* x264 = c.AddCompressor(dshow::StreamKind::Video, "x264enc", encoder);
  ASSERT_EQ(c.builder->RenderStream(nullptr, nullptr, c.video.Get(), encoder.Get(), mux.Get()),
            S_OK);
  ASSERT_EQ(c.builder->RenderStream(nullptr, nullptr, c.audio.Get(), nullptr, mux.Get()), S_OK);

  dshow::RunPlan plan;
  ASSERT_EQ(dshow::PlanRun(*c.graph, plan), S_OK);
  EXPECT_EQ(plan.description.sourcePath, Clip(ClipKind::Mp4H264Aac));
  EXPECT_EQ(plan.description.outputPath, output);
  ASSERT_TRUE(plan.output);
  EXPECT_EQ(plan.output->path, output);
  ASSERT_TRUE(plan.description.muxer);
  EXPECT_EQ(plan.description.muxer->element.get(),
            std::get<dshow::MultiplexerRole>(*dshow::RoleOf(*mux)).element.get());
  ASSERT_EQ(plan.description.branches.size(), 2u);
  const auto& video = plan.description.branches[0];
  EXPECT_EQ(video.kind, gst::StreamKind::Video);
  EXPECT_EQ(video.streamIndex, 0);
  ASSERT_TRUE(video.encoder);
  EXPECT_EQ(video.encoder->element.get(), x264) << "settings made on the compressor reach the run";
  EXPECT_EQ(plan.description.branches[1].kind, gst::StreamKind::Audio);
  EXPECT_FALSE(plan.description.branches[1].encoder);
}

TEST(RunPlan, TheWindowsMediaWriterEncodesAsItsProfileSays) {
  Conversion c(ClipKind::MkvVariableRateWithAudio);
  ComPtr<IBaseFilter> writer;
  ComPtr<IFileSinkFilter> sink;
  ASSERT_EQ(c.builder->SetOutputFileName(CLSID_WMAsfWriter, "/tmp/x/out.wmv", writer, sink), S_OK);
  wmf::ProfileData profile;
  wmf::StreamData audio = wmf::AudioFormat(WAVE_FORMAT_WMAUDIO2, 44100, 2, 8000, 371);
  audio.number = 1;
  audio.bitrate = 64000;
  profile.streams.push_back(audio);
  wmf::StreamData video = wmf::VideoFormat(MakeFourCC('W', 'M', 'V', '3'), 320, 240, 300000, 0);
  video.number = 2;
  profile.streams.push_back(video);
  ComPtr<IConfigAsfWriter> config;
  writer.As(config);
  ASSERT_EQ(config->ConfigureFilterUsingProfile(wmf::MakeProfile(profile).Get()), S_OK);
  ASSERT_EQ(c.builder->RenderStream(nullptr, nullptr, c.video.Get(), nullptr, writer.Get()), S_OK);

  dshow::RunPlan plan;
  EXPECT_EQ(dshow::PlanRun(*c.graph, plan), VFW_E_NOT_CONNECTED) << "its audio input is free";
  ASSERT_EQ(c.builder->RenderStream(nullptr, nullptr, c.audio.Get(), nullptr, writer.Get()), S_OK);
  ASSERT_EQ(dshow::PlanRun(*c.graph, plan), S_OK);
  ASSERT_EQ(plan.description.branches.size(), 2u);
  const auto& audioBranch = plan.description.branches[0];
  ASSERT_TRUE(audioBranch.encoder);
  EXPECT_EQ(audioBranch.encoder->FactoryName(), "avenc_wmav2");
  const auto& videoBranch = plan.description.branches[1];
  ASSERT_TRUE(videoBranch.encoder);
  EXPECT_EQ(videoBranch.encoder->FactoryName(), "avenc_wmv2");
  EXPECT_EQ(videoBranch.video.width, 320);
  // The profile keeps the source's timing (no frame time); the source has
  // only a measured average rate, which the run makes constant.
  EXPECT_NEAR(double(videoBranch.video.framerateNum) / videoBranch.video.framerateDen, 33 / 1.96,
              0.2);
}

TEST(RunPlan, StreamsEndingInRenderersWriteNothing) {
  auto graph = NewGraph();
  ASSERT_EQ(graph->RenderFile(Clip(ClipKind::MkvTwoAudioTracks)), S_OK);
  dshow::RunPlan plan;
  ASSERT_EQ(dshow::PlanRun(*graph, plan), S_OK);
  EXPECT_FALSE(plan.description.muxer);
  EXPECT_FALSE(plan.output);
  ASSERT_EQ(plan.description.branches.size(), 2u) << "the second audio track has no renderer";
  const dshow::Discovery found = dshow::DiscoverFile(Clip(ClipKind::MkvTwoAudioTracks));
  ASSERT_EQ(found.streams.size(), 3u);
  EXPECT_FALSE(found.streams[1].streamId.empty());
  EXPECT_EQ(plan.description.branches[1].streamId, found.streams[1].streamId)
      << "the first audio track, named by its id";

  auto empty = NewGraph();
  EXPECT_EQ(dshow::PlanRun(*empty, plan), VFW_E_NOT_CONNECTED);
}

TEST(GraphRun, FailuresBecomeCodesWithTextsThatSayWhatHappened) {
  using Failure = gst::PipelineEvent::Failure;
  const std::pair<Failure, HRESULT> expected[] = {
      {Failure::MissingDecoder, VFW_E_NO_DECOMPRESSOR},
      {Failure::MissingStream, VFW_E_UNSUPPORTED_STREAM},
      {Failure::UnreadableSource, VFW_E_INVALID_FILE_FORMAT},
      {Failure::Write, HRESULT_WRITE_FAULT},
      {Failure::Negotiation, VFW_E_TYPE_NOT_ACCEPTED},
      {Failure::Other, VFW_E_RUNTIME_ERROR},
  };
  for (const auto& [failure, code] : expected) {
    EXPECT_EQ(dshow::FailureCode(failure), code);
    EXPECT_EQ(AMGetErrorTextA(code).rfind("Unknown error", 0), std::string::npos) << code;
  }
  EXPECT_NE(AMGetErrorTextA(HRESULT_WRITE_FAULT).find("could not be written"), std::string::npos);
}

TEST(GraphRun, TheOutputFileIsCheckedBeforeAnythingRuns) {
  const std::string folder = gst_test::OutputPath("checked");
  std::filesystem::create_directories(folder);
  const std::string fresh = folder + "/out.avi";
  EXPECT_EQ(dshow::CheckOutputFile({fresh, 0}), S_OK);
  EXPECT_EQ(dshow::CheckOutputFile({folder + "/missing/out.avi", 0}), HRESULT_PATH_NOT_FOUND);
  EXPECT_EQ(dshow::CheckOutputFile({folder + "/" + std::string(300, 'a') + ".avi", 0}),
            HRESULT_FILENAME_TOO_LONG);
  EXPECT_EQ(dshow::CheckOutputFile({folder, AM_FILE_OVERWRITE}), E_ACCESSDENIED) << "a folder";
  EXPECT_EQ(dshow::CheckOutputFile({"", 0}), E_INVALIDARG);
  std::ofstream(fresh) << "old";
  EXPECT_EQ(dshow::CheckOutputFile({fresh, 0}), HRESULT_FILE_EXISTS);
  EXPECT_EQ(dshow::CheckOutputFile({fresh, AM_FILE_OVERWRITE}), S_OK);
  if (geteuid() != 0) {  // permissions do not bind the superuser
    chmod(folder.c_str(), 0500);
    EXPECT_EQ(dshow::CheckOutputFile({folder + "/other.avi", 0}), E_ACCESSDENIED);
    chmod(folder.c_str(), 0700);
  }
}

// The playback graph of the standard clip, whose events are posted to a
// window that counts the messages with its own message and parameter.
struct PlayedSource {
  explicit PlayedSource(ClipKind kind = ClipKind::Mp4H264Aac) {
    EXPECT_EQ(graph->RenderFile(Clip(kind)), S_OK);
    graph.As(control);
    graph.As(events);
    events->SetNotifyWindow(window, 0x040D, 7);
  }
  // The window is told just after an event is queued.
  int Posted() {
    test_support::WaitUntil([&] { return posted->load() > 0; });
    return posted->load();
  }
  double PositionSeconds() {
    ComPtr<IMediaSeeking> seeking;
    REFERENCE_TIME position = 0;
    graph.As(seeking);
    seeking->GetCurrentPosition(position);
    return position / 1e7;
  }
  ComPtr<IGraphBuilder> graph = NewGraph();
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEventEx> events;
  std::shared_ptr<std::atomic<int>> posted = std::make_shared<std::atomic<int>>(0);
  ui::WindowPort window =
      std::make_shared<ui::MessagePort>([counter = posted](UINT message, WPARAM, LPARAM lParam) {
        if (message == 0x040D && lParam == 7) ++*counter;
      });
};

TEST(FilterGraph, EndingTheStreamsEndsTheRunAsItsEndWouldWithoutWaiting) {
  PlayedSource s(ClipKind::Mp4Hd20s);
  ComPtr<IMediaStreamEnd> end;
  ASSERT_EQ(s.graph.As(end), S_OK);
  EXPECT_EQ(end->EndStreams(), S_FALSE) << "nothing runs yet";
  ASSERT_EQ(s.control->Run(), S_OK);
  ASSERT_TRUE(test_support::WaitUntil([&] { return s.PositionSeconds() >= 0.5; }));
  EXPECT_EQ(end->EndStreams(), S_OK);
  EXPECT_EQ(end->EndStreams(), S_OK) << "asking twice changes nothing";

  long code = 0;
  LONG_PTR param1 = -1, param2 = -1;
  ASSERT_EQ(s.events->GetEvent(code, param1, param2, test_support::kHangGuardMilliseconds), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);
  s.events->FreeEventParams(code, param1, param2);
  EXPECT_LT(s.PositionSeconds(), 15.0) << "ended well before the source's end";
  EXPECT_EQ(s.control->Stop(), S_OK);
  EXPECT_EQ(s.events->GetEvent(code, param1, param2, 0), E_ABORT) << "one end only";
}

TEST(FilterGraph, RunsToItsEndAndStaysRunningUntilStopped) {
  PlayedSource s;
  ASSERT_EQ(s.control->Run(), S_OK);
  EXPECT_EQ(s.control->Run(), S_OK) << "running again changes nothing";
  OAFilterState state = State_Stopped;
  s.control->GetState(0, state);
  EXPECT_EQ(state, State_Running);
  EXPECT_EQ(s.graph->RemoveFilter(RendererOf(*s.graph, MEDIATYPE_Video).Get()), VFW_E_NOT_STOPPED);

  long code = 0;
  LONG_PTR param1 = -1, param2 = -1;
  ASSERT_EQ(s.events->GetEvent(code, param1, param2, test_support::kHangGuardMilliseconds), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);
  EXPECT_EQ(param1, S_OK);
  EXPECT_EQ(s.events->FreeEventParams(code, param1, param2), S_OK);
  EXPECT_EQ(s.Posted(), 1);
  EXPECT_NEAR(s.PositionSeconds(), 2.0, 0.1) << "the end was reached";

  s.control->GetState(0, state);
  EXPECT_EQ(state, State_Running) << "until the caller stops it";
  EXPECT_EQ(s.control->Stop(), S_OK);
  s.control->GetState(0, state);
  EXPECT_EQ(state, State_Stopped);
  EXPECT_EQ(s.graph->RemoveFilter(RendererOf(*s.graph, MEDIATYPE_Video).Get()), S_OK);
  EXPECT_EQ(s.events->GetEvent(code, param1, param2, 0), E_ABORT) << "nothing after the end";
}

TEST(FilterGraph, ARunAgainReportsOnlyItsOwnEnd) {
  PlayedSource s;
  ASSERT_EQ(s.control->Run(), S_OK);
  ASSERT_EQ(s.Posted(), 1) << "the first run ended";
  s.control->Stop();  // its end is left untaken

  ASSERT_EQ(s.control->Run(), S_OK);
  long code = 0;
  LONG_PTR param1 = 0, param2 = 0;
  ASSERT_EQ(s.events->GetEvent(code, param1, param2, test_support::kHangGuardMilliseconds), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);
  EXPECT_EQ(s.events->GetEvent(code, param1, param2, 0), E_ABORT) << "the first end was dropped";
  s.control->Stop();
}

// Refused with the reason, whether the check before the run finds it (a
// missing folder) or the writer does as it opens the file (the kernel's
// /proc takes no files, though the superuser passes every permission check).
TEST(FilterGraph, RunRefusesAFileItCannotWrite) {
  const std::pair<std::string, std::vector<HRESULT>> cases[] = {
      {gst_test::OutputPath("gone") + "/out.avi", {HRESULT_PATH_NOT_FOUND}},
      {"/proc/reelcast-out.avi", {HRESULT_WRITE_FAULT, E_ACCESSDENIED}},
  };
  for (const auto& [output, refusals] : cases) {
    SCOPED_TRACE(output);
    Conversion c(ClipKind::Mp4H264Aac);
    ComPtr<IBaseFilter> mux;
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(c.builder->SetOutputFileName(MEDIASUBTYPE_Avi, output, mux, sink), S_OK);
    c.builder->RenderStream(nullptr, nullptr, c.video.Get(), nullptr, mux.Get());
    c.builder->RenderStream(nullptr, nullptr, c.audio.Get(), nullptr, mux.Get());
    ComPtr<IMediaControl> control;
    c.graph.As(control);
    const HRESULT refused = control->Run();
    EXPECT_NE(std::find(refusals.begin(), refusals.end(), refused), refusals.end())
        << std::hex << refused;
    OAFilterState state = State_Running;
    control->GetState(0, state);
    EXPECT_EQ(state, State_Stopped);
  }
}

}  // namespace
