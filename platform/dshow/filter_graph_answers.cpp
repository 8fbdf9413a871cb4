// What the graph answers for its filters: control (its run), events,
// seeking and the video size. The graph's structure is in filter_graph.cpp.

#include <algorithm>

#include "platform/dshow/errors.h"
#include "platform/dshow/filter_graph.h"

namespace dshow {

HRESULT FilterGraph::Run() {
  if (run_) return S_OK;
  RunPlan plan;
  const HRESULT hr = PlanRun(*this, plan);
  if (FAILED(hr)) return hr;
  // From now on only this run's events count: the end of an earlier run,
  // not yet taken or still on its way, is dropped by its generation.
  const RunGeneration generation = NextRunGeneration();
  events_.Open(generation);
  const HRESULT started = GraphRun::Start(std::move(plan), events_, generation, run_);
  if (FAILED(started)) events_.Close();
  return started;
}

HRESULT FilterGraph::Pause() {
  // A conversion is never paused: it runs or it stops.
  return E_NOTIMPL;
}

HRESULT FilterGraph::Stop() {
  if (!run_) return S_OK;
  // Whatever the stopping run still raises is dropped by its generation.
  events_.Close();
  const HRESULT hr = run_->Stop();
  run_.reset();
  return hr;
}

HRESULT FilterGraph::EndStreams() {
  if (!run_) return S_FALSE;
  run_->EndStreams();
  return S_OK;
}

HRESULT FilterGraph::GetState(long, OAFilterState& state) {
  state = run_ ? State_Running : State_Stopped;
  return S_OK;
}

HRESULT FilterGraph::GetEvent(long& eventCode, LONG_PTR& param1, LONG_PTR& param2, long msTimeout) {
  return events_.Take(eventCode, param1, param2, msTimeout);
}

HRESULT FilterGraph::FreeEventParams(long, LONG_PTR, LONG_PTR) {
  // No event of this graph carries parameters that need freeing.
  return S_OK;
}

HRESULT FilterGraph::SetNotifyWindow(ui::WindowPort window, UINT message, LONG_PTR instanceData) {
  events_.SetNotifyWindow(std::move(window), message, instanceData);
  return S_OK;
}

HRESULT FilterGraph::GetDuration(REFERENCE_TIME& duration) {
  bool anySource = false;
  bool known = false;
  duration = 0;
  for (const Entry& entry : filters_) {
    const FilterRole* role = RoleOf(*entry.filter);
    const auto* source = role ? std::get_if<SourceFileRole>(role) : nullptr;
    if (!source) continue;
    anySource = true;
    if (!source->duration) continue;
    known = true;
    duration = std::max(duration, *source->duration);
  }
  if (!anySource) return E_NOTIMPL;
  return known ? S_OK : VFW_E_MEDIA_TIME_NOT_SET;
}

HRESULT FilterGraph::GetStopPosition(REFERENCE_TIME& stop) {
  // The stop position is never moved: it is the end of the media.
  return GetDuration(stop);
}

HRESULT FilterGraph::GetCurrentPosition(REFERENCE_TIME& current) {
  current = run_ ? run_->Position() : 0;
  return S_OK;
}

HRESULT FilterGraph::VideoRendererStream(StreamInfo& stream) {
  for (const Entry& entry : filters_) {
    const FilterRole* role = RoleOf(*entry.filter);
    const auto* renderer = role ? std::get_if<RendererRole>(role) : nullptr;
    if (!renderer || renderer->stream.kind != StreamKind::Video) continue;
    ComPtr<IEnumPins> pins;
    ComPtr<IPin> input, upstream;
    if (FAILED(entry.filter->EnumPins(pins)) || pins->Next(input) != S_OK ||
        FAILED(input->ConnectedTo(upstream)))
      return VFW_E_NOT_CONNECTED;
    stream = renderer->stream;
    return S_OK;
  }
  return E_NOINTERFACE;
}

HRESULT FilterGraph::GetVideoSize(long& width, long& height) {
  StreamInfo stream;
  const HRESULT hr = VideoRendererStream(stream);
  if (FAILED(hr)) return hr;
  if (stream.width <= 0 || stream.height <= 0) return E_FAIL;
  width = stream.width;
  height = stream.height;
  return S_OK;
}

HRESULT FilterGraph::get_AvgTimePerFrame(REFTIME& averageTime) {
  StreamInfo stream;
  const HRESULT hr = VideoRendererStream(stream);
  if (FAILED(hr)) return hr;
  // For a variable-rate stream without a declared rate, the average of its
  // frame times; 0 only when even that could not be measured.
  averageTime = stream.AverageFrameTime();
  return S_OK;
}

}  // namespace dshow
