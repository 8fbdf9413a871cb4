#pragma once
// The filter graph manager of the model: the graph's structure, its playback
// rendering of files, and what it answers for its filters (control, events,
// seeking, video size).

#include <string>
#include <vector>

#include "platform/dshow/control_interfaces.h"
#include "platform/dshow/event_queue.h"
#include "platform/dshow/filter_role.h"
#include "platform/dshow/graph_interfaces.h"

namespace dshow {

class FilterGraph : public com::Object<IGraphBuilder, IMediaControl, IMediaEventEx,
                                       IMediaSeeking, IBasicVideo> {
 public:
  FilterGraph() = default;

  // IFilterGraph
  HRESULT AddFilter(IBaseFilter* filter, const std::string& name) override;
  HRESULT RemoveFilter(IBaseFilter* filter) override;
  HRESULT EnumFilters(ComPtr<IEnumFilters>& filters) override;
  HRESULT FindFilterByName(const std::string& name, ComPtr<IBaseFilter>& filter) override;
  HRESULT ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) override;
  HRESULT Disconnect(IPin* pin) override;
  // IGraphBuilder
  HRESULT RenderFile(const std::string& path, const std::string& playList) override;

  // IMediaControl. The graph does not run yet: Run and Pause refuse with
  // E_NOTIMPL until the pipeline runner drives them; a graph that never runs
  // is always stopped, so Stop succeeds.
  HRESULT Run() override;
  HRESULT Pause() override;
  HRESULT Stop() override;
  HRESULT GetState(long msTimeout, OAFilterState& state) override;

  // IMediaEvent, IMediaEventEx
  HRESULT GetEvent(long& eventCode, LONG_PTR& param1, LONG_PTR& param2,
                   long msTimeout) override;
  HRESULT FreeEventParams(long eventCode, LONG_PTR param1, LONG_PTR param2) override;
  HRESULT SetNotifyWindow(ui::WindowPort window, UINT message, LONG_PTR instanceData) override;

  // IMediaSeeking: the longest duration of the graph's source files.
  HRESULT GetDuration(REFERENCE_TIME& duration) override;
  HRESULT GetStopPosition(REFERENCE_TIME& stop) override;
  HRESULT GetCurrentPosition(REFERENCE_TIME& current) override;

  // IBasicVideo: the first video renderer's stream.
  HRESULT GetVideoSize(long& width, long& height) override;
  HRESULT get_AvgTimePerFrame(REFTIME& averageTime) override;

 protected:
  ~FilterGraph() override;

 private:
  struct Entry {
    ComPtr<IBaseFilter> filter;
    std::string name;
  };

  std::vector<Entry>::iterator Find(IBaseFilter* filter);
  bool Contains(IPin* pin);
  std::string UniqueName(const std::string& wanted) const;
  // The stream of the first video renderer whose input is connected.
  HRESULT VideoRendererStream(StreamInfo& stream);

  std::vector<Entry> filters_;
  EventQueue events_;
};

// Breaks every connection of the filter's pins, on both sides.
void DisconnectAllPins(IBaseFilter& filter);

// The role of a filter of the model; null for filters made elsewhere.
const FilterRole* RoleOf(IBaseFilter& filter);

}  // namespace dshow
