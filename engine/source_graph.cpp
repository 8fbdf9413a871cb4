#include "engine/source_graph.h"

#include <cmath>

#include "engine/engine_messages.h"
#include "platform/com/runtime.h"
#include "platform/dshow/guids.h"

namespace {

HRESULT NewGraph(ComPtr<IGraphBuilder>& graph) { return CoCreate(CLSID_FilterGraph, graph); }

// What the probe fails on: its message, and 0.
int ProbeFailure(const std::string& message) {
  WindowMessage(message);
  return 0;
}

}  // namespace

int ProbeSourceFile(const std::string& sourcePath, std::int64_t& durationOut, MediaInfo& mediaInfo,
                    OutputSettings& settings) {
  ComPtr<IGraphBuilder> graph;
  if (FAILED(NewGraph(graph))) return ProbeFailure("Failed to CoCreateInstance");
  if (FAILED(graph->RenderFile(sourcePath))) {
    CannotOpenFileMessage();
    return 0;
  }

  ComPtr<IMediaSeeking> seeking;
  if (FAILED(graph.As(seeking))) return ProbeFailure("Failed to get IID_IMediaSeeking");
  REFERENCE_TIME duration = 0;
  if (FAILED(seeking->GetStopPosition(duration))) return ProbeFailure("Failed to GetStopPosition");
  durationOut = duration;
  seeking.Reset();

  ComPtr<IBasicVideo> video;
  if (FAILED(graph.As(video))) return ProbeFailure("Failed to IID_IBasicVideo");
  long width = 0, height = 0;
  if (FAILED(video->GetVideoSize(width, height)))
    return ProbeFailure("Failed to GetVideoSize, please install appropriate video decoder");
  mediaInfo.width = static_cast<std::int32_t>(width);
  mediaInfo.height = static_cast<std::int32_t>(height);
  settings.outputWidth = mediaInfo.width;
  settings.outputHeight = mediaInfo.height;

  // An unknown frame time is reported as 0; dividing by it would give an
  // infinite frame rate that every later use of the rate would inherit.
  REFTIME averageFrameTime = 0;
  if (FAILED(video->get_AvgTimePerFrame(averageFrameTime)) || !std::isfinite(averageFrameTime) ||
      averageFrameTime <= 0)
    return ProbeFailure("Failed to get_AvgTimePerFrame");
  mediaInfo.frameRate = 1.0 / averageFrameTime;
  return 1;
}

HRESULT CreateSourceGraph(const std::string& sourcePath, GraphContext& context) {
  context.ReleaseGraph();
  ComPtr<IGraphBuilder> graph;
  HRESULT hr = NewGraph(graph);
  if (FAILED(hr)) return hr;
  hr = graph->RenderFile(sourcePath);
  if (FAILED(hr)) {
    CannotOpenFileMessage();
    return hr;
  }
  hr = graph.As(context.control);
  if (FAILED(hr)) {
    ApplicationMessage("Could not get pControl");
    return hr;
  }
  context.graph = graph;
  return 1;
}
