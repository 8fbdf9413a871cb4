#pragma once
// The capture graph builder over the graph model: adds the writer of an
// output type and connects decoded streams to it, through a compressor or
// not, checking before it connects anything that the elements behind the
// filters can take what the stream will carry.
//
// Output types: MEDIASUBTYPE_Avi (an AVI multiplexer and a file writer),
// CLSID_MatroskaMuxer (a Matroska multiplexer, or an MP4 one when the file
// name ends in ".mp4" in any case, and a file writer), CLSID_WMAsfWriter
// (the Windows Media writer: one filter that is multiplexer and file
// writer). Any other type, CLSID_DsmMuxer among them, is a multiplexer that
// is not installed: REGDB_E_CLASSNOTREG.

#include "platform/dshow/capture_interfaces.h"

namespace dshow {

class CaptureGraphBuilder : public com::Object<ICaptureGraphBuilder2> {
 public:
  // E_POINTER for no graph, E_UNEXPECTED when a graph is already set.
  HRESULT SetFiltergraph(IGraphBuilder* graph) override;
  // E_UNEXPECTED before SetFiltergraph, E_INVALIDARG for an empty name;
  // the graph is left unchanged on failure.
  HRESULT SetOutputFileName(const GUID& type, const std::string& path, ComPtr<IBaseFilter>& mux,
                            ComPtr<IFileSinkFilter>& sink) override;
  // `source` is an output pin, or a filter whose first unconnected output
  // pin is meant. Category and type are not used. Fails, leaving the graph
  // unchanged, with VFW_E_CANNOT_CONNECT when the stream cannot reach the
  // sink (a stream that is not decoded, a compressor of the other kind or
  // one the sink cannot take, raw media into a container that needs it
  // compressed, no free Windows Media writer input of the stream's kind),
  // VFW_E_ALREADY_CONNECTED when the source or the compressor's input is
  // taken, VFW_E_NOT_IN_GRAPH for filters outside the graph. A null sink
  // sends the stream to a new default renderer.
  HRESULT RenderStream(const GUID* category, const GUID* type, IUnknown* source,
                       IBaseFilter* intermediate, IBaseFilter* sink) override;

 private:
  ComPtr<IGraphBuilder> graph_;
};

}  // namespace dshow
