#pragma once
// The filter graph manager of the model: the graph's structure, its playback
// rendering of files, and what it answers for its filters (control, events,
// seeking, video size).

#include <memory>
#include <string>
#include <vector>

#include "platform/dshow/control_interfaces.h"
#include "platform/dshow/event_queue.h"
#include "platform/dshow/filter_role.h"
#include "platform/dshow/graph_interfaces.h"
#include "platform/dshow/graph_run.h"

namespace dshow {

class FilterGraph : public com::Object<IGraphBuilder, IMediaControl, IMediaStreamEnd, IMediaEventEx,
                                       IMediaSeeking, IBasicVideo> {
 public:
  FilterGraph() = default;

  // IFilterGraph. Removing filters and changing connections wait for the
  // graph to stop: VFW_E_NOT_STOPPED while it runs.
  HRESULT AddFilter(IBaseFilter* filter, const std::string& name) override;
  HRESULT RemoveFilter(IBaseFilter* filter) override;
  HRESULT EnumFilters(ComPtr<IEnumFilters>& filters) override;
  HRESULT FindFilterByName(const std::string& name, ComPtr<IBaseFilter>& filter) override;
  HRESULT ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) override;
  HRESULT Disconnect(IPin* pin) override;
  // IGraphBuilder
  HRESULT RenderFile(const std::string& path, const std::string& playList) override;

  // IMediaControl. Run starts the pipeline the graph stands for (see
  // run_plan.h and graph_run.h for what it writes and the events and codes
  // it gives); running again while running does nothing. Each run has a
  // generation of its own, and the events of any other are dropped. Stop
  // ends the streams so that the file stays valid, waiting a bounded time
  // (none after EndStreams); VFW_E_TIMEOUT when the writer had not
  // finished, which is then left to finish apart and never holds the
  // caller. A graph that has run to its end stays running until Stop, as
  // the events leave it to the caller.
  // Pause is not offered: E_NOTIMPL.
  HRESULT Run() override;
  HRESULT Pause() override;
  HRESULT Stop() override;
  HRESULT GetState(long msTimeout, OAFilterState& state) override;

  // IMediaStreamEnd
  HRESULT EndStreams() override;

  // IMediaEvent, IMediaEventEx
  HRESULT GetEvent(long& eventCode, LONG_PTR& param1, LONG_PTR& param2, long msTimeout) override;
  HRESULT FreeEventParams(long eventCode, LONG_PTR param1, LONG_PTR param2) override;
  HRESULT SetNotifyWindow(ui::WindowPort window, UINT message, LONG_PTR instanceData) override;

  // IMediaSeeking: the longest duration of the graph's source files; while
  // running, the media time the slowest stream has reached (else 0).
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
  std::unique_ptr<GraphRun> run_;  // goes before the queue its events go to
};

// Breaks every connection of the filter's pins, on both sides.
void DisconnectAllPins(IBaseFilter& filter);

}  // namespace dshow
