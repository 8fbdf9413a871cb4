#pragma once
// The engine's graph objects: the filter graph of the opened source with its
// control and event interfaces, and the current compressor filters. One
// instance, owned by the main window and passed by reference; every slot is
// empty or holds one reference.

#include "platform/dshow/control_interfaces.h"
#include "platform/dshow/graph_interfaces.h"

struct GraphContext {
  GraphContext() = default;
  GraphContext(const GraphContext&) = delete;
  GraphContext& operator=(const GraphContext&) = delete;

  // Releases the event interface, the control and the graph, in that order.
  void ReleaseGraph() {
    events.Reset();
    control.Reset();
    graph.Reset();
  }

  ComPtr<IGraphBuilder> graph;
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEventEx> events;
  ComPtr<IBaseFilter> videoCompressor;
  ComPtr<IBaseFilter> audioCompressor;
};
