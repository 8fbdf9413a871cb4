// The capture graph builder over real source graphs: the writers it adds
// for each output type, the connections it makes and those it refuses
// before touching the graph, and the Windows Media writer's inputs from its
// profile.

#include <gtest/gtest.h>

#include "platform/dshow/capture_interfaces.h"
#include "platform/dshow/error_text.h"
#include "platform/dshow/errors.h"
#include "platform/dshow/filter_role.h"
#include "platform/dshow/model_filters.h"
#include "platform/wmf/codec_catalogue.h"
#include "platform/wmf/profile_objects.h"
#include "tests/platform/dshow_test_helpers.h"
#include "tests/support/media_fixtures.h"

namespace {

using namespace dshow_test;
using test_support::Clip;
using test_support::ClipKind;

constexpr std::uint32_t kWmv3 = MakeFourCC('W', 'M', 'V', '3');

std::string FactoryOf(IBaseFilter& filter) {
  const auto* role = std::get_if<dshow::MultiplexerRole>(dshow::RoleOf(filter));
  if (!role) return {};
  return GST_OBJECT_NAME(gst_element_get_factory(role->element.get()));
}

ComPtr<IBaseFilter> Owner(IPin& pin) {
  PIN_INFO info;
  pin.QueryPinInfo(info);
  return info.pFilter;
}

bool IsConnected(IPin& pin) {
  ComPtr<IPin> peer;
  return SUCCEEDED(pin.ConnectedTo(peer));
}

// The playback graph of a clip with its renderers taken out, and a builder
// on it: what the conversion graph builder starts from.
struct Rewired {
  explicit Rewired(ClipKind kind = ClipKind::Mp4H264Aac) {
    EXPECT_EQ(graph->RenderFile(Clip(kind)), S_OK);
    for (const GUID* major : {&MEDIATYPE_Video, &MEDIATYPE_Audio}) {
      auto renderer = RendererOf(*graph, *major);
      if (!renderer) continue;
      auto input = Pins(*renderer, PINDIR_INPUT)[0];
      ComPtr<IPin> decoded;
      input->ConnectedTo(decoded);
      (major == &MEDIATYPE_Video ? video : audio) = decoded;
      EXPECT_EQ(graph->RemoveFilter(renderer.Get()), S_OK);
    }
    EXPECT_EQ(CoCreate(CLSID_CaptureGraphBuilder2, builder), S_OK);
    EXPECT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);
  }

  ComPtr<IBaseFilter> Compressor(dshow::StreamKind kind, const char* factory) {
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(dshow::MakeCompressorFilter(kind, factory, filter), S_OK);
    EXPECT_TRUE(SUCCEEDED(graph->AddFilter(filter.Get(), factory)));
    return filter;
  }

  ComPtr<IGraphBuilder> graph = NewGraph();
  ComPtr<ICaptureGraphBuilder2> builder;
  ComPtr<IPin> video, audio;  // the decoders' outputs
};

TEST(CaptureGraphBuilder, AddsTheWriterOfEachOutputType) {
  struct Case {
    GUID type;
    std::string path;
    std::string factory;
    std::string name;
  };
  for (const Case& c :
       {Case{MEDIASUBTYPE_Avi, "/tmp/x/out.avi", "avimux", "AVI Mux"},
        Case{CLSID_MatroskaMuxer, "/tmp/x/out.mkv", "matroskamux", "Matroska Muxer"},
        Case{CLSID_MatroskaMuxer, "/tmp/x/OUT.Mp4", "mp4mux", "MP4 Muxer"}}) {
    Rewired rig;
    ComPtr<IBaseFilter> mux;
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(rig.builder->SetOutputFileName(c.type, c.path, mux, sink), S_OK) << c.path;
    EXPECT_EQ(FactoryOf(*mux), c.factory);
    EXPECT_EQ(NameOf(*mux), c.name);
    std::string file;
    EXPECT_EQ(sink->GetCurFile(file), S_OK);
    EXPECT_EQ(file, c.path);
    ComPtr<IBaseFilter> writer;
    ASSERT_EQ(sink.As(writer), S_OK);
    ComPtr<IPin> fed;
    ASSERT_EQ(Pins(*writer, PINDIR_INPUT)[0]->ConnectedTo(fed), S_OK);
    EXPECT_TRUE(SameObject(dshow_test::Pins(*mux, PINDIR_OUTPUT)[0], fed)) << "mux feeds writer";
    EXPECT_TRUE(mux.Supports<IConfigInterleaving>());
    EXPECT_TRUE(sink.Supports<IFileSinkFilter2>());
  }

  Rewired rig;
  ComPtr<IBaseFilter> mux;
  ComPtr<IFileSinkFilter> sink;
  ASSERT_EQ(rig.builder->SetOutputFileName(CLSID_WMAsfWriter, "/tmp/x/out.wmv", mux, sink), S_OK);
  EXPECT_TRUE(SameObject(mux, sink)) << "one filter multiplexes and writes";
  EXPECT_TRUE(mux.Supports<IConfigAsfWriter>());
  EXPECT_TRUE(sink.Supports<IFileSinkFilter2>());
  EXPECT_EQ(NameOf(*mux), "WM ASF Writer");
}

TEST(CaptureGraphBuilder, AMultiplexerThatIsNotInstalledChangesNothing) {
  Rewired rig;
  const auto before = Names(*rig.graph);
  ComPtr<IBaseFilter> mux;
  ComPtr<IFileSinkFilter> sink;
  EXPECT_EQ(rig.builder->SetOutputFileName(CLSID_DsmMuxer, "/tmp/x/out.dsm", mux, sink),
            REGDB_E_CLASSNOTREG);
  EXPECT_NE(AMGetErrorTextA(REGDB_E_CLASSNOTREG).find("not installed"), std::string::npos);
  EXPECT_FALSE(mux);
  EXPECT_FALSE(sink);
  EXPECT_EQ(Names(*rig.graph), before);

  ComPtr<ICaptureGraphBuilder2> unset;
  ASSERT_EQ(CoCreate(CLSID_CaptureGraphBuilder2, unset), S_OK);
  EXPECT_EQ(unset->SetOutputFileName(MEDIASUBTYPE_Avi, "/tmp/x/out.avi", mux, sink), E_UNEXPECTED);
  EXPECT_EQ(unset->RenderStream(nullptr, nullptr, rig.video.Get(), nullptr, nullptr), E_UNEXPECTED);
  EXPECT_EQ(rig.builder->SetOutputFileName(MEDIASUBTYPE_Avi, "", mux, sink), E_INVALIDARG);
  EXPECT_EQ(rig.builder->SetFiltergraph(rig.graph.Get()), E_UNEXPECTED) << "one graph per builder";
}

TEST(CaptureGraphBuilder, WriterSettingsKeepOnlyValidValues) {
  Rewired rig;
  ComPtr<IBaseFilter> mux;
  ComPtr<IFileSinkFilter> sink;
  ASSERT_EQ(rig.builder->SetOutputFileName(MEDIASUBTYPE_Avi, "/tmp/x/out.avi", mux, sink), S_OK);
  ComPtr<IConfigInterleaving> interleaving;
  ASSERT_EQ(mux.As(interleaving), S_OK);
  EXPECT_EQ(interleaving->put_Mode(INTERLEAVE_FULL), S_OK);
  EXPECT_EQ(interleaving->put_Mode(static_cast<InterleavingMode>(9)), E_INVALIDARG);
  InterleavingMode mode = INTERLEAVE_NONE;
  EXPECT_EQ(interleaving->get_Mode(mode), S_OK);
  EXPECT_EQ(mode, INTERLEAVE_FULL);

  ComPtr<IFileSinkFilter2> file;
  ASSERT_EQ(sink.As(file), S_OK);
  unsigned long flags = 9;
  EXPECT_EQ(file->GetMode(flags), S_OK);
  EXPECT_EQ(flags, 0u) << "a new writer does not overwrite";
  EXPECT_EQ(file->SetMode(AM_FILE_OVERWRITE), S_OK);
  EXPECT_EQ(file->SetMode(0x10), E_INVALIDARG);
  EXPECT_EQ(file->GetMode(flags), S_OK);
  EXPECT_EQ(flags, static_cast<unsigned long>(AM_FILE_OVERWRITE));
  EXPECT_EQ(file->SetFileName("", nullptr), E_INVALIDARG);
  EXPECT_EQ(file->SetFileName("/tmp/x/other.avi", nullptr), S_OK);
  std::string path;
  file->GetCurFile(path);
  EXPECT_EQ(path, "/tmp/x/other.avi");
}

TEST(RenderStream, RefusesWhatTheContainerCannotTakeBeforeConnectingAnything) {
  Rewired rig;
  ComPtr<IBaseFilter> mux;
  ComPtr<IFileSinkFilter> sink;
  ASSERT_EQ(rig.builder->SetOutputFileName(CLSID_MatroskaMuxer, "/tmp/x/out.mp4", mux, sink), S_OK);
  const auto before = Names(*rig.graph);

  EXPECT_EQ(rig.builder->RenderStream(nullptr, nullptr, rig.video.Get(), nullptr, mux.Get()),
            VFW_E_CANNOT_CONNECT)
      << "raw video into MP4";
  EXPECT_EQ(rig.builder->RenderStream(nullptr, nullptr, rig.audio.Get(), nullptr, mux.Get()),
            VFW_E_CANNOT_CONNECT)
      << "raw audio into MP4";
  auto wrongKind = rig.Compressor(dshow::StreamKind::Audio, "avenc_aac");
  EXPECT_EQ(
      rig.builder->RenderStream(nullptr, nullptr, rig.video.Get(), wrongKind.Get(), mux.Get()),
      VFW_E_CANNOT_CONNECT)
      << "an audio compressor on the video stream";
  EXPECT_FALSE(IsConnected(*rig.video));
  EXPECT_FALSE(IsConnected(*rig.audio));

  ComPtr<IBaseFilter> matroska;
  ASSERT_EQ(rig.builder->SetOutputFileName(CLSID_MatroskaMuxer, "/tmp/x/out.mkv", matroska, sink),
            S_OK);
  for (const char* realVideo : {"avenc_rv10", "avenc_rv20"}) {
    auto unreadable = rig.Compressor(dshow::StreamKind::Video, realVideo);
    EXPECT_EQ(rig.builder->RenderStream(nullptr, nullptr, rig.video.Get(), unreadable.Get(),
                                        matroska.Get()),
              VFW_E_CANNOT_CONNECT)
        << realVideo << " in Matroska, which no reader can open as it is written";
  }
  EXPECT_FALSE(IsConnected(*rig.video));

  ComPtr<IBaseFilter> outside;
  ASSERT_EQ(dshow::MakeCompressorFilter(dshow::StreamKind::Video, "x264enc", outside), S_OK);
  EXPECT_EQ(rig.builder->RenderStream(nullptr, nullptr, rig.video.Get(), outside.Get(), mux.Get()),
            VFW_E_NOT_IN_GRAPH);

  auto encoder = rig.Compressor(dshow::StreamKind::Video, "x264enc");
  ASSERT_EQ(rig.builder->RenderStream(nullptr, nullptr, rig.video.Get(), encoder.Get(), mux.Get()),
            S_OK);
  ComPtr<IPin> fed;
  ASSERT_EQ(rig.video->ConnectedTo(fed), S_OK);
  EXPECT_TRUE(SameObject(fed, Pins(*encoder, PINDIR_INPUT)[0]));
  ASSERT_EQ(Pins(*encoder, PINDIR_OUTPUT)[0]->ConnectedTo(fed), S_OK);
  EXPECT_TRUE(SameObject(dshow_test::Pins(*mux, PINDIR_INPUT)[0], fed));
  EXPECT_EQ(rig.builder->RenderStream(nullptr, nullptr, rig.video.Get(), encoder.Get(), mux.Get()),
            VFW_E_ALREADY_CONNECTED);

  auto aac = rig.Compressor(dshow::StreamKind::Audio, "avenc_aac");
  ASSERT_EQ(rig.builder->RenderStream(nullptr, nullptr, rig.audio.Get(), aac.Get(), mux.Get()),
            S_OK);
  EXPECT_EQ(Pins(*mux, PINDIR_INPUT).size(), 2u) << "an input per stream";
}

TEST(RenderStream, WithoutASinkAStreamGoesToADefaultRenderer) {
  Rewired rig;
  ASSERT_EQ(rig.builder->RenderStream(nullptr, nullptr, rig.video.Get(), nullptr, nullptr), S_OK);
  auto renderer = RendererOf(*rig.graph, MEDIATYPE_Video);
  ASSERT_TRUE(renderer);
  EXPECT_EQ(NameOf(*renderer), "Video Renderer");
  EXPECT_FALSE(RendererOf(*rig.graph, MEDIATYPE_Audio));
}

// A profile as the profile builder makes one: WMA 2 audio and one video
// stream of the given frame time.
ComPtr<IWMProfile> Profile(REFERENCE_TIME frameTime, int videoStreams = 1) {
  wmf::ProfileData data;
  wmf::StreamData audio = wmf::AudioFormat(WAVE_FORMAT_WMAUDIO2, 44100, 2, 16000, 743);
  audio.number = 1;
  audio.bitrate = 128000;
  data.streams.push_back(audio);
  for (int i = 0; i < videoStreams; ++i) {
    wmf::StreamData video = wmf::VideoFormat(kWmv3, 352, 288, 798720, frameTime);
    video.number = static_cast<std::uint16_t>(2 + i);
    video.bitrate = 798720;
    video.maxKeyFrameSpacing = 80'000'000;
    data.streams.push_back(video);
  }
  return wmf::MakeProfile(data);
}

struct AsfRig : Rewired {
  explicit AsfRig(ClipKind kind = ClipKind::Mp4H264Aac) : Rewired(kind) {
    EXPECT_EQ(builder->SetOutputFileName(CLSID_WMAsfWriter, "/tmp/x/out.wmv", writer, sink), S_OK);
    writer.As(config);
  }
  const dshow::AsfWriterRole& Role() {
    return std::get<dshow::AsfWriterRole>(*dshow::RoleOf(*writer));
  }
  ComPtr<IBaseFilter> writer;
  ComPtr<IFileSinkFilter> sink;
  ComPtr<IConfigAsfWriter> config;
};

TEST(AsfWriterFilter, TakesOneInputPerStreamOfItsProfile) {
  AsfRig rig;
  EXPECT_EQ(rig.builder->RenderStream(nullptr, nullptr, rig.video.Get(), nullptr, rig.writer.Get()),
            VFW_E_CANNOT_CONNECT)
      << "no inputs before a profile";
  ASSERT_EQ(rig.config->ConfigureFilterUsingProfile(Profile(400'000).Get()), S_OK);
  std::vector<std::string> pins;
  for (auto& pin : Pins(*rig.writer, PINDIR_INPUT)) {
    PIN_INFO info;
    pin->QueryPinInfo(info);
    pins.push_back(info.achName);
  }
  EXPECT_EQ(pins, (std::vector<std::string>{"Audio Input 01", "Video Input 01"}));
  ASSERT_TRUE(rig.Role().audio);
  EXPECT_EQ(rig.Role().audio->bitrate, 128000u);
  EXPECT_EQ(rig.Role().audio->sampleRate, 44100);
  EXPECT_EQ(rig.Role().audio->channels, 2);
  ASSERT_TRUE(rig.Role().video);
  EXPECT_EQ(rig.Role().video->width, 352);
  EXPECT_EQ(rig.Role().video->height, 288);
  EXPECT_EQ(rig.Role().video->framerateNum, 25);
  EXPECT_EQ(rig.Role().video->framerateDen, 1);
  EXPECT_EQ(rig.Role().video->bitrate, 798720u);
  EXPECT_EQ(rig.Role().video->keyFrameSpacingSeconds, 8);

  auto encoder = rig.Compressor(dshow::StreamKind::Video, "x264enc");
  EXPECT_EQ(
      rig.builder->RenderStream(nullptr, nullptr, rig.video.Get(), encoder.Get(), rig.writer.Get()),
      VFW_E_CANNOT_CONNECT)
      << "the writer encodes by itself";
  EXPECT_EQ(rig.builder->RenderStream(nullptr, nullptr, rig.video.Get(), nullptr, rig.writer.Get()),
            S_OK);
  EXPECT_EQ(rig.builder->RenderStream(nullptr, nullptr, rig.audio.Get(), nullptr, rig.writer.Get()),
            S_OK);
  EXPECT_EQ(rig.config->ConfigureFilterUsingProfile(Profile(400'000).Get()), VFW_E_WRONG_STATE)
      << "not while its inputs are connected";
}

TEST(AsfWriterFilter, ReadsFrameRatesAndRefusesProfilesItCannotWrite) {
  for (const auto& [frameTime, num, den] :
       {std::tuple{REFERENCE_TIME{434'782}, 23, 1}, std::tuple{REFERENCE_TIME{333'333}, 30, 1},
        std::tuple{REFERENCE_TIME{417'083}, 24000, 1001}}) {
    AsfRig rig;
    ASSERT_EQ(rig.config->ConfigureFilterUsingProfile(Profile(frameTime).Get()), S_OK);
    EXPECT_EQ(rig.Role().video->framerateNum, num) << frameTime;
    EXPECT_EQ(rig.Role().video->framerateDen, den) << frameTime;
  }
  AsfRig rig;
  EXPECT_EQ(rig.config->ConfigureFilterUsingProfile(nullptr), E_POINTER);
  EXPECT_EQ(rig.config->ConfigureFilterUsingProfile(Profile(400'000, 2).Get()), E_NOTIMPL)
      << "one video stream at most";
  EXPECT_EQ(rig.config->ConfigureFilterUsingProfile(wmf::MakeProfile({}).Get()), E_INVALIDARG);
  EXPECT_TRUE(Pins(*rig.writer, PINDIR_INPUT).empty()) << "a refused profile adds no input";
}

TEST(AsfWriterFilter, ASecondStreamOfAKindFindsNoInput) {
  AsfRig rig(ClipKind::MkvTwoAudioTracks);
  ASSERT_EQ(rig.config->ConfigureFilterUsingProfile(Profile(400'000).Get()), S_OK);
  ASSERT_EQ(rig.builder->RenderStream(nullptr, nullptr, rig.audio.Get(), nullptr, rig.writer.Get()),
            S_OK);
  ComPtr<IBaseFilter> secondDecoder;
  for (auto& filter : Filters(*rig.graph)) {
    const auto* decoder = std::get_if<dshow::DecoderRole>(dshow::RoleOf(*filter));
    if (decoder && decoder->stream.kind == dshow::StreamKind::Audio &&
        !SameObject(filter, Owner(*rig.audio)))
      secondDecoder = filter;
  }
  ASSERT_TRUE(secondDecoder);
  EXPECT_EQ(
      rig.builder->RenderStream(nullptr, nullptr, secondDecoder.Get(), nullptr, rig.writer.Get()),
      VFW_E_CANNOT_CONNECT);
}

}  // namespace
