#pragma once
// The filter graph, its filters and their pins, as the system walks and
// rewires them. Names are UTF-8; out-parameters are ComPtr slots that the
// call fills (and empties first).

#include <string>

#include "platform/com/com_ptr.h"
#include "platform/dshow/enumerator.h"
#include "platform/dshow/media_type.h"

enum PIN_DIRECTION { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

struct IBaseFilter;
struct IFilterGraph;
struct IPin;

struct PIN_INFO {
  ComPtr<IBaseFilter> pFilter;  // the pin's filter, referenced
  PIN_DIRECTION dir = PINDIR_INPUT;
  std::string achName;
};

struct FILTER_INFO {
  std::string achName;          // empty while the filter is in no graph
  ComPtr<IFilterGraph> pGraph;  // referenced; empty while in no graph
};

struct IPin : IUnknown {
  static constexpr IID kIid = GUID::Parse("{56A86891-0AD4-11CE-B03A-0020AF0BA770}");
  // Called on an output pin: connects it to an input pin, with the given
  // type or, when null, the type this pin offers.
  virtual HRESULT Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) = 0;
  // Called on an input pin by the output pin that connects to it.
  virtual HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE& type) = 0;
  // Breaks this side of the connection only; S_FALSE when not connected.
  virtual HRESULT Disconnect() = 0;
  // VFW_E_NOT_CONNECTED on an unconnected pin.
  virtual HRESULT ConnectedTo(ComPtr<IPin>& pin) = 0;
  // VFW_E_NOT_CONNECTED on an unconnected pin; free the type afterwards.
  virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE& type) = 0;
  virtual HRESULT QueryPinInfo(PIN_INFO& info) = 0;
  virtual HRESULT QueryDirection(PIN_DIRECTION& direction) = 0;
  virtual HRESULT QueryId(std::string& id) = 0;
  // S_OK when the pin would accept a connection of that type, else S_FALSE.
  virtual HRESULT QueryAccept(const AM_MEDIA_TYPE& type) = 0;
};

struct IEnumPins : IEnumOf<IPin, IEnumPins> {
  static constexpr IID kIid = GUID::Parse("{56A86892-0AD4-11CE-B03A-0020AF0BA770}");
};

struct IBaseFilter : IUnknown {
  static constexpr IID kIid = GUID::Parse("{56A86895-0AD4-11CE-B03A-0020AF0BA770}");
  virtual HRESULT EnumPins(ComPtr<IEnumPins>& pins) = 0;
  virtual HRESULT FindPin(const std::string& id, ComPtr<IPin>& pin) = 0;
  virtual HRESULT QueryFilterInfo(FILTER_INFO& info) = 0;
  // Told by a graph when the filter is added (graph and name) or removed
  // (null and empty). The filter does not reference its graph.
  virtual HRESULT JoinFilterGraph(IFilterGraph* graph, const std::string& name) = 0;
};

struct IEnumFilters : IEnumOf<IBaseFilter, IEnumFilters> {
  static constexpr IID kIid = GUID::Parse("{56A86893-0AD4-11CE-B03A-0020AF0BA770}");
};

struct IFilterGraph : IUnknown {
  static constexpr IID kIid = GUID::Parse("{56A8689F-0AD4-11CE-B03A-0020AF0BA770}");
  // Adds a filter under a name unique in the graph: a name already taken
  // gets a suffix " 0001", " 0002"... and the result is VFW_S_DUPLICATE_NAME.
  virtual HRESULT AddFilter(IBaseFilter* filter, const std::string& name) = 0;
  // Disconnects every pin of the filter (both sides) and takes it out.
  virtual HRESULT RemoveFilter(IBaseFilter* filter) = 0;
  // Filters in the order they were added.
  virtual HRESULT EnumFilters(ComPtr<IEnumFilters>& filters) = 0;
  virtual HRESULT FindFilterByName(const std::string& name, ComPtr<IBaseFilter>& filter) = 0;
  // Connects an output pin to an input pin of filters in this graph.
  virtual HRESULT ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) = 0;
  // Breaks one side of a connection, as IPin::Disconnect.
  virtual HRESULT Disconnect(IPin* pin) = 0;
};

struct IGraphBuilder : IFilterGraph {
  using Base = IFilterGraph;
  static constexpr IID kIid = GUID::Parse("{56A868A9-0AD4-11CE-B03A-0020AF0BA770}");
  // Builds the playback graph of a file: a source filter named by the path as
  // given, a decoder per audio and video stream, and a default renderer (one
  // input pin, no output pin) for the first video and the first audio stream.
  // `playList` is unused and must be empty.
  virtual HRESULT RenderFile(const std::string& path, const std::string& playList = {}) = 0;
};
