// The graph model's operations, on graphs built by hand and by RenderFile:
// names, connections, removal and the lifetime of filters.

#include <gtest/gtest.h>

#include "platform/dshow/errors.h"
#include "platform/dshow/model_filters.h"
#include "tests/platform/dshow_test_helpers.h"
#include "tests/support/media_fixtures.h"

namespace {

using namespace dshow_test;
using dshow::StreamInfo;
using dshow::StreamKind;

StreamInfo VideoStream() {
  StreamInfo stream;
  stream.kind = StreamKind::Video;
  stream.width = 64;
  stream.height = 48;
  stream.frameRateNumerator = 25;
  return stream;
}

StreamInfo AudioStream() {
  StreamInfo stream;
  stream.kind = StreamKind::Audio;
  stream.channels = 2;
  stream.sampleRate = 48000;
  return stream;
}

ComPtr<IBaseFilter> Decoder(const StreamInfo& stream) { return dshow::MakeDecoderFilter(stream); }

ComPtr<IBaseFilter> Renderer(const StreamInfo& stream) { return dshow::MakeRendererFilter(stream); }

TEST(FilterGraph, NamesAreUniqueAndFiltersKeepTheirOrder) {
  auto graph = NewGraph();
  auto first = Decoder(VideoStream());
  auto second = Decoder(VideoStream());
  auto third = Decoder(VideoStream());
  EXPECT_EQ(graph->AddFilter(first.Get(), "Decoder"), S_OK);
  EXPECT_EQ(graph->AddFilter(second.Get(), "Decoder"), VFW_S_DUPLICATE_NAME);
  EXPECT_EQ(graph->AddFilter(third.Get(), "Decoder"), VFW_S_DUPLICATE_NAME);
  EXPECT_EQ(Names(*graph), (std::vector<std::string>{"Decoder", "Decoder 0001", "Decoder 0002"}));

  EXPECT_EQ(graph->AddFilter(first.Get(), "Again"), E_INVALIDARG) << "already in this graph";
  auto other = NewGraph();
  EXPECT_EQ(other->AddFilter(second.Get(), "Elsewhere"), E_INVALIDARG) << "in another graph";
  EXPECT_EQ(graph->AddFilter(nullptr, "Null"), E_POINTER);

  ASSERT_EQ(graph->RemoveFilter(second.Get()), S_OK);
  EXPECT_EQ(Names(*graph), (std::vector<std::string>{"Decoder", "Decoder 0002"}));
  EXPECT_EQ(graph->RemoveFilter(second.Get()), VFW_E_NOT_FOUND);
  EXPECT_EQ(NameOf(*second), "") << "a filter in no graph has no name";
  EXPECT_EQ(other->AddFilter(second.Get(), "Elsewhere"), S_OK) << "free to join another graph";

  ComPtr<IBaseFilter> found;
  EXPECT_EQ(graph->FindFilterByName("Decoder 0002", found), S_OK);
  EXPECT_TRUE(SameObject(found, third));
  EXPECT_EQ(graph->FindFilterByName("Decoder 0001", found), VFW_E_NOT_FOUND);
  EXPECT_FALSE(found);
}

TEST(FilterGraph, ConnectsOnlyMatchingPinsOfItsOwnFilters) {
  auto graph = NewGraph();
  auto video = Decoder(VideoStream());
  auto audioRenderer = Renderer(AudioStream());
  auto videoRenderer = Renderer(VideoStream());
  graph->AddFilter(video.Get(), "Video Decoder");
  graph->AddFilter(audioRenderer.Get(), "Audio Renderer");
  auto out = Pins(*video, PINDIR_OUTPUT)[0];
  auto in = Pins(*video, PINDIR_INPUT)[0];

  EXPECT_EQ(graph->ConnectDirect(out.Get(), Pins(*audioRenderer, PINDIR_INPUT)[0].Get(), nullptr),
            VFW_E_NO_ACCEPTABLE_TYPES);
  EXPECT_EQ(graph->ConnectDirect(in.Get(), out.Get(), nullptr), VFW_E_INVALID_DIRECTION);
  EXPECT_EQ(graph->ConnectDirect(out.Get(), Pins(*videoRenderer, PINDIR_INPUT)[0].Get(), nullptr),
            VFW_E_NOT_IN_GRAPH);

  graph->AddFilter(videoRenderer.Get(), "Video Renderer");
  auto rendererIn = Pins(*videoRenderer, PINDIR_INPUT)[0];
  ASSERT_EQ(graph->ConnectDirect(out.Get(), rendererIn.Get(), nullptr), S_OK);
  EXPECT_EQ(graph->ConnectDirect(out.Get(), rendererIn.Get(), nullptr), VFW_E_ALREADY_CONNECTED);

  // Both sides see the connection and its type, with the decoded frame size.
  ComPtr<IPin> peer;
  ASSERT_EQ(rendererIn->ConnectedTo(peer), S_OK);
  EXPECT_EQ(peer.Get(), out.Get());
  OwnedMediaType type;
  ASSERT_EQ(rendererIn->ConnectionMediaType(type.Get()), S_OK);
  EXPECT_EQ(type->majortype, MEDIATYPE_Video);
  ASSERT_EQ(type->formattype, FORMAT_VideoInfo);
  ASSERT_EQ(type->cbFormat, sizeof(VIDEOINFOHEADER));
  const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type->pbFormat);
  EXPECT_EQ(info->bmiHeader.biWidth, 64);
  EXPECT_EQ(info->AvgTimePerFrame, 400000);
}

TEST(FilterGraph, UnconnectedPinsSayNotConnected) {
  auto renderer = Renderer(VideoStream());
  auto pin = Pins(*renderer, PINDIR_INPUT)[0];
  ComPtr<IPin> peer = Pins(*Decoder(VideoStream()), PINDIR_OUTPUT)[0];
  EXPECT_EQ(pin->ConnectedTo(peer), VFW_E_NOT_CONNECTED);
  EXPECT_FALSE(peer) << "the slot is emptied";
  AM_MEDIA_TYPE type;
  type.majortype = MEDIATYPE_Audio;
  EXPECT_EQ(pin->ConnectionMediaType(type), VFW_E_NOT_CONNECTED);
  EXPECT_EQ(type.majortype, GUID_NULL);
  EXPECT_EQ(pin->Disconnect(), S_FALSE);
}

TEST(FilterGraph, RemovingARenderedFilterDisconnectsBothSides) {
  const std::string path = test_support::Clip(test_support::ClipKind::Mp4H264Aac);
  auto graph = NewGraph();
  ASSERT_EQ(graph->RenderFile(path), S_OK);
  auto renderer = RendererOf(*graph, MEDIATYPE_Audio);
  ASSERT_TRUE(renderer);
  ComPtr<IPin> decoded;
  ASSERT_EQ(Pins(*renderer, PINDIR_INPUT)[0]->ConnectedTo(decoded), S_OK);

  ASSERT_EQ(graph->RemoveFilter(renderer.Get()), S_OK);
  ComPtr<IPin> peer;
  EXPECT_EQ(decoded->ConnectedTo(peer), VFW_E_NOT_CONNECTED);
  EXPECT_EQ(Pins(*renderer, PINDIR_INPUT)[0]->ConnectedTo(peer), VFW_E_NOT_CONNECTED);
  EXPECT_FALSE(RendererOf(*graph, MEDIATYPE_Audio));
  EXPECT_TRUE(RendererOf(*graph, MEDIATYPE_Video)) << "the other renderer stays";
  EXPECT_EQ(Filters(*graph).size(), 4u);
}

TEST(FilterGraph, EnumeratorsWalkASnapshot) {
  auto graph = NewGraph();
  ASSERT_EQ(graph->RenderFile(test_support::Clip(test_support::ClipKind::Mp4H264Aac)), S_OK);
  ComPtr<IEnumFilters> filters;
  ASSERT_EQ(graph->EnumFilters(filters), S_OK);

  // Removing filters while walking neither skips nor repeats any.
  int walked = 0;
  ComPtr<IBaseFilter> filter;
  while (filters->Next(filter) == S_OK) {
    ++walked;
    graph->RemoveFilter(filter.Get());
  }
  EXPECT_EQ(walked, 5);
  EXPECT_TRUE(Filters(*graph).empty());

  ASSERT_EQ(filters->Reset(), S_OK);
  ComPtr<IBaseFilter> batch[3];
  ULONG fetched = 0;
  EXPECT_EQ(filters->Skip(3), S_OK);
  EXPECT_EQ(filters->Next(3, batch, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u);
  EXPECT_TRUE(batch[1]);
  EXPECT_FALSE(batch[2]);
  EXPECT_EQ(filters->Next(2, batch, nullptr), E_POINTER) << "a count above 1 needs `fetched`";

  ComPtr<IEnumFilters> copy;
  ASSERT_EQ(filters->Reset(), S_OK);
  filters->Skip(4);
  ASSERT_EQ(filters->Clone(copy), S_OK);
  EXPECT_EQ(copy->Next(filter), S_OK) << "a clone starts where its original stands";
  EXPECT_EQ(copy->Next(filter), S_FALSE);
}

TEST(FilterGraph, ReleasingTheGraphFreesItsFiltersFromIt) {
  ComPtr<IBaseFilter> source;
  ComPtr<IPin> sourcePin;
  {
    const std::string path = test_support::Clip(test_support::ClipKind::Mp4H264Aac);
    auto graph = NewGraph();
    ASSERT_EQ(graph->RenderFile(path), S_OK);
    ASSERT_EQ(graph->FindFilterByName(path, source), S_OK);
    sourcePin = Pins(*source, PINDIR_OUTPUT)[0];
  }
  // The graph is gone: the filter we kept is in no graph and connected to
  // nothing, so nothing keeps the rest of the graph alive.
  FILTER_INFO info;
  ASSERT_EQ(source->QueryFilterInfo(info), S_OK);
  EXPECT_FALSE(info.pGraph);
  EXPECT_EQ(info.achName, "");
  ComPtr<IPin> peer;
  EXPECT_EQ(sourcePin->ConnectedTo(peer), VFW_E_NOT_CONNECTED);
  // Only our two references (the filter and its pin) are left.
  EXPECT_EQ(source->AddRef(), 3u);
  source->Release();
}

}  // namespace
