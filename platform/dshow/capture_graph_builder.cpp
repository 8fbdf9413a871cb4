#include "platform/dshow/capture_graph_builder.h"

#include <optional>

#include "platform/dshow/asf_writer_filter.h"
#include "platform/dshow/errors.h"
#include "platform/dshow/graph_additions.h"
#include "platform/dshow/guids.h"
#include "platform/dshow/model_filters.h"
#include "platform/dshow/stream_fit.h"
#include "platform/text/ascii_case.h"

namespace dshow {

namespace {

struct Multiplexer {
  const char* factory;
  const char* name;
};

std::optional<Multiplexer> MultiplexerFor(const GUID& type, const std::string& path) {
  if (type == MEDIASUBTYPE_Avi) return Multiplexer{"avimux", "AVI Mux"};
  if (type != CLSID_MatroskaMuxer) return std::nullopt;
  const std::string lower = text::AsciiLower(path);
  if (lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".mp4") == 0)
    return Multiplexer{"mp4mux", "MP4 Muxer"};
  return Multiplexer{"matroskamux", "Matroska Muxer"};
}

// The output pin a stream leaves from: the pin given, or the first free
// output pin of the filter given.
HRESULT SourceOutput(IUnknown* source, ComPtr<IPin>& output) {
  if (!source) return E_POINTER;
  auto unknown = ComPtr<IUnknown>::Borrow(source);
  ComPtr<IPin> pin;
  if (SUCCEEDED(unknown.As(pin))) {
    PIN_DIRECTION direction;
    if (FAILED(pin->QueryDirection(direction)) || direction != PINDIR_OUTPUT)
      return VFW_E_INVALID_DIRECTION;
    output = pin;
    return S_OK;
  }
  ComPtr<IBaseFilter> filter;
  if (FAILED(unknown.As(filter))) return E_INVALIDARG;
  for (const ComPtr<IPin>& candidate : PinsOf(*filter, PINDIR_OUTPUT)) {
    ComPtr<IPin> peer;
    if (FAILED(candidate->ConnectedTo(peer))) {
      output = candidate;
      return S_OK;
    }
  }
  return VFW_E_NOT_FOUND;
}

bool IsConnected(IPin& pin) {
  ComPtr<IPin> peer;
  return SUCCEEDED(pin.ConnectedTo(peer));
}

// The decoded stream an output pin carries, through any compressors
// between it and its decoder; nothing for a stream that is not decoded.
std::optional<StreamInfo> StreamBehind(IPin& output) {
  ComPtr<IBaseFilter> filter = FilterOf(output);
  // Compressors in a row are few; the bound only guards against a loop.
  for (int depth = 0; filter && depth < 16; ++depth) {
    if (const auto* decoder = RoleIf<DecoderRole>(*filter)) return decoder->stream;
    if (!RoleIf<CompressorRole>(*filter)) return std::nullopt;
    ComPtr<IPin> input;
    if (FAILED(FirstPin(*filter, PINDIR_INPUT, input))) return std::nullopt;
    filter = PeerFilter(*input);
  }
  return std::nullopt;
}

// The pin of the sink the stream enters; a null sink means a new default
// renderer, which `renderer` then holds (not yet in the graph).
HRESULT TargetPin(IBaseFilter* sink, const StreamInfo& stream, GstElement* encoder,
                  ComPtr<IPin>& target, ComPtr<IBaseFilter>& renderer) {
  if (!sink) {
    renderer = MakeRendererFilter(stream);
    return FirstPin(*renderer, PINDIR_INPUT, target);
  }
  if (const auto* mux = RoleIf<MultiplexerRole>(*sink)) {
    const gst::CapsPtr carried = CarriedCaps(stream.kind, encoder);
    auto* multiplexer = dynamic_cast<MultiplexerFilter*>(sink);
    if (!multiplexer || !TakesCaps(mux->element.get(), carried.get()) ||
        !WritesReadably(mux->element.get(), carried.get()))
      return VFW_E_CANNOT_CONNECT;
    target = multiplexer->FreeInput();
    return S_OK;
  }
  // The Windows Media writer encodes by itself: it takes decoded streams.
  if (RoleIf<AsfWriterRole>(*sink) && !encoder) {
    target = FreeInputPin(*sink, MajorTypeOf(stream.kind));
    return target ? S_OK : VFW_E_CANNOT_CONNECT;
  }
  return VFW_E_CANNOT_CONNECT;
}

}  // namespace

HRESULT CaptureGraphBuilder::SetFiltergraph(IGraphBuilder* graph) {
  if (!graph) return E_POINTER;
  if (graph_) return E_UNEXPECTED;
  graph_ = ComPtr<IGraphBuilder>::Borrow(graph);
  return S_OK;
}

HRESULT CaptureGraphBuilder::SetOutputFileName(const GUID& type, const std::string& path,
                                               ComPtr<IBaseFilter>& mux,
                                               ComPtr<IFileSinkFilter>& sink) {
  mux.Reset();
  sink.Reset();
  if (!graph_) return E_UNEXPECTED;
  if (path.empty() || path.find('\0') != std::string::npos) return E_INVALIDARG;
  GraphAdditions additions(*graph_);

  if (type == CLSID_WMAsfWriter) {
    ComPtr<AsfWriterFilter> writer;
    HRESULT hr = MakeAsfWriter(path, writer);
    if (SUCCEEDED(hr)) hr = additions.Add(writer, "WM ASF Writer");
    if (FAILED(hr)) return hr;
    additions.Commit();
    mux = writer;
    sink = writer;
    return S_OK;
  }

  const std::optional<Multiplexer> kind = MultiplexerFor(type, path);
  if (!kind) return REGDB_E_CLASSNOTREG;
  ComPtr<MultiplexerFilter> multiplexer;
  HRESULT hr = MakeMultiplexer(kind->factory, multiplexer);
  if (SUCCEEDED(hr)) hr = additions.Add(multiplexer, kind->name);
  ComPtr<IPin> output;
  if (SUCCEEDED(hr)) hr = FirstPin(*multiplexer, PINDIR_OUTPUT, output);
  auto writer = MakeCom<FileWriterFilter>(path);
  if (SUCCEEDED(hr)) hr = additions.AddDownstream(*output, writer, "File writer");
  if (FAILED(hr)) return hr;
  additions.Commit();
  mux = multiplexer;
  sink = writer;
  return S_OK;
}

HRESULT CaptureGraphBuilder::RenderStream(const GUID*, const GUID*, IUnknown* source,
                                          IBaseFilter* intermediate, IBaseFilter* sink) {
  if (!graph_) return E_UNEXPECTED;
  ComPtr<IPin> output;
  HRESULT hr = SourceOutput(source, output);
  if (FAILED(hr)) return hr;
  if (IsConnected(*output)) return VFW_E_ALREADY_CONNECTED;
  const ComPtr<IBaseFilter> sourceFilter = FilterOf(*output);
  if (!sourceFilter || !IsInGraph(*sourceFilter, *graph_) ||
      (intermediate && !IsInGraph(*intermediate, *graph_)) || (sink && !IsInGraph(*sink, *graph_)))
    return VFW_E_NOT_IN_GRAPH;
  const std::optional<StreamInfo> stream = StreamBehind(*output);
  if (!stream) return VFW_E_CANNOT_CONNECT;

  GstElement* encoder = nullptr;
  ComPtr<IPin> compressorIn, compressorOut;
  if (intermediate) {
    const auto* compressor = RoleIf<CompressorRole>(*intermediate);
    if (!compressor || compressor->kind != stream->kind ||
        !TakesCaps(compressor->element.get(), RawCaps(stream->kind).get()))
      return VFW_E_CANNOT_CONNECT;
    encoder = compressor->element.get();
    if (FAILED(FirstPin(*intermediate, PINDIR_INPUT, compressorIn)) ||
        FAILED(FirstPin(*intermediate, PINDIR_OUTPUT, compressorOut)))
      return VFW_E_CANNOT_CONNECT;
    if (IsConnected(*compressorIn) || IsConnected(*compressorOut)) return VFW_E_ALREADY_CONNECTED;
  }

  ComPtr<IPin> target;
  ComPtr<IBaseFilter> renderer;
  hr = TargetPin(sink, *stream, encoder, target, renderer);
  if (FAILED(hr)) return hr;

  GraphAdditions additions(*graph_);
  if (renderer && FAILED(hr = additions.Add(renderer, RendererName(*stream)))) return hr;
  IPin* first = intermediate ? compressorIn.Get() : target.Get();
  hr = graph_->ConnectDirect(output.Get(), first, nullptr);
  if (FAILED(hr)) return hr;
  if (intermediate) {
    hr = graph_->ConnectDirect(compressorOut.Get(), target.Get(), nullptr);
    if (FAILED(hr)) {
      graph_->Disconnect(first);
      graph_->Disconnect(output.Get());
      return hr;
    }
  }
  additions.Commit();
  return S_OK;
}

}  // namespace dshow
