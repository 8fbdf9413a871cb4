#include "platform/dshow/playback_graph.h"

#include <vector>

#include "platform/dshow/errors.h"
#include "platform/dshow/media_discovery.h"
#include "platform/dshow/model_filters.h"

namespace dshow {

namespace {

HRESULT FirstPin(IBaseFilter& filter, PIN_DIRECTION direction, ComPtr<IPin>& found) {
  ComPtr<IEnumPins> pins;
  HRESULT hr = filter.EnumPins(pins);
  if (FAILED(hr)) return hr;
  ComPtr<IPin> pin;
  while (pins->Next(pin) == S_OK) {
    PIN_DIRECTION pinDirection;
    if (SUCCEEDED(pin->QueryDirection(pinDirection)) && pinDirection == direction) {
      found = pin;
      return S_OK;
    }
  }
  return VFW_E_NOT_FOUND;
}

// Adds filters to a graph; unless committed, takes them out again when it
// goes, so that a failed rendering leaves the graph as it was.
class GraphAdditions {
 public:
  explicit GraphAdditions(IFilterGraph& graph) : graph_(graph) {}
  ~GraphAdditions() {
    for (auto& filter : added_) graph_.RemoveFilter(filter.Get());
  }
  GraphAdditions(const GraphAdditions&) = delete;
  GraphAdditions& operator=(const GraphAdditions&) = delete;

  HRESULT Add(const ComPtr<ModelFilter>& filter, const std::string& name) {
    const HRESULT hr = graph_.AddFilter(filter.Get(), name);
    if (SUCCEEDED(hr)) added_.push_back(filter);
    return hr;
  }
  // Adds the filter and connects `output` to its input.
  HRESULT AddDownstream(IPin& output, const ComPtr<ModelFilter>& filter,
                        const std::string& name) {
    HRESULT hr = Add(filter, name);
    ComPtr<IPin> input;
    if (SUCCEEDED(hr)) hr = FirstPin(*filter, PINDIR_INPUT, input);
    return FAILED(hr) ? hr : graph_.ConnectDirect(&output, input.Get(), nullptr);
  }
  void Commit() { added_.clear(); }

 private:
  IFilterGraph& graph_;
  std::vector<ComPtr<IBaseFilter>> added_;
};

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
