#include "platform/dshow/playback_graph.h"

#include <vector>

#include "platform/dshow/errors.h"
#include "platform/dshow/graph_additions.h"
#include "platform/dshow/media_discovery.h"
#include "platform/dshow/model_filters.h"
#include "platform/dshow/pin_walk.h"

namespace dshow {

namespace {

HRESULT RenderStream(GraphAdditions& additions, IPin& sourcePin, const StreamInfo& stream,
                     bool withRenderer) {
  auto decoder = MakeDecoderFilter(stream);
  HRESULT hr = additions.AddDownstream(sourcePin, decoder, DecoderName(stream));
  if (FAILED(hr) || !withRenderer) return hr;
  ComPtr<IPin> decoded;
  hr = FirstPin(*decoder, PINDIR_OUTPUT, decoded);
  if (FAILED(hr)) return hr;
  return additions.AddDownstream(*decoded, MakeRendererFilter(stream), RendererName(stream));
}

HRESULT PartialResult(const Discovery& found) {
  bool video = false, audio = false;
  for (const StreamInfo& stream : found.streams)
    (stream.kind == StreamKind::Video ? video : audio) = true;
  if (found.undecodableVideos > 0 && !video) return VFW_S_VIDEO_NOT_RENDERED;
  if (found.undecodableAudios > 0 && !audio) return VFW_S_AUDIO_NOT_RENDERED;
  if (found.undecodableVideos + found.undecodableAudios > 0) return VFW_S_PARTIAL_RENDER;
  return S_OK;
}

}  // namespace

HRESULT RenderPlayback(IFilterGraph& graph, const std::string& path) {
  Discovery found = DiscoverFile(path);
  if (FAILED(found.result)) return found.result;

  GraphAdditions additions(graph);
  auto source = MakeSourceFilter({path, found.uri, found.duration, found.streams});
  HRESULT hr = additions.Add(source, path);
  ComPtr<IEnumPins> pins;
  if (SUCCEEDED(hr)) hr = source->EnumPins(pins);
  bool videoRendered = false, audioRendered = false;
  for (const StreamInfo& stream : found.streams) {
    ComPtr<IPin> pin;
    if (FAILED(hr) || pins->Next(pin) != S_OK) return FAILED(hr) ? hr : E_UNEXPECTED;
    bool& rendered = stream.kind == StreamKind::Video ? videoRendered : audioRendered;
    hr = RenderStream(additions, *pin, stream, !rendered);
    rendered = true;
  }
  if (FAILED(hr)) return hr;
  additions.Commit();
  return PartialResult(found);
}

}  // namespace dshow
