#include "engine/graph_teardown.h"

#include "engine/compressor_catalogue.h"
#include "engine/graph_utilities.h"

namespace {

class Teardown {
 public:
  Teardown(IGraphBuilder* graph, const OutputSettings& settings, GraphContext& context)
      : graph_(graph), settings_(settings), context_(context) {}

  // Removes every filter downstream of `filter`, deepest first.
  void Walk(IBaseFilter* filter) {
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins))) return;
    pins->Reset();
    ComPtr<IPin> pin;
    while (pins->Next(pin) == S_OK) {
      ComPtr<IPin> connected;
      if (FAILED(pin->ConnectedTo(connected))) continue;
      PIN_INFO info;
      if (FAILED(connected->QueryPinInfo(info))) return;
      ComPtr<IBaseFilter> neighbour = info.pFilter;
      if (info.dir == PINDIR_INPUT) {
        Walk(neighbour.Get());
        graph_->Disconnect(connected.Get());
        graph_->Disconnect(pin.Get());
        graph_->RemoveFilter(neighbour.Get());
      }
      RenewIfCompressor(neighbour);
    }
  }

 private:
  // A compressor met on the way is replaced in the context by a new,
  // unconnected instance; the old one is removed as an ordinary filter.
  void RenewIfCompressor(const ComPtr<IBaseFilter>& filter) {
    if (context_.videoCompressor && SameObject(filter, context_.videoCompressor)) {
      context_.videoCompressor.Reset();
      GetCompressor(settings_.videoCompressorIndex, &context_.videoCompressor);
    }
    if (context_.audioCompressor && SameObject(filter, context_.audioCompressor)) {
      context_.audioCompressor.Reset();
      GetAudioCompressor(settings_.audioCompressorIndex, &context_.audioCompressor);
    }
  }

  IGraphBuilder* graph_;
  const OutputSettings& settings_;
  GraphContext& context_;
};

}  // namespace

HRESULT TearDownGraph(IGraphBuilder* graph, const std::string& sourcePath,
                      const OutputSettings& settings, GraphContext& context) {
  if (!graph) return E_POINTER;
  ComPtr<IBaseFilter> source;
  const HRESULT hr = graph->FindFilterByName(sourcePath, source);
  if (FAILED(hr)) {
    ReportError("Failed to FindFilterByName!", hr);
    return hr;
  }
  Teardown(graph, settings, context).Walk(source.Get());
  return graph->RemoveFilter(source.Get());
}
