#pragma once
// Rewiring the opened source's playback graph into a conversion graph for
// the chosen output.

#include <string>

#include "engine/graph_context.h"
#include "engine/output_settings.h"
#include "platform/ui/message_port.h"

// What a build reads and writes besides the graph.
struct ConversionRequest {
  OutputSettings& settings;     // the compression flags are cleared for Windows Media
  GraphContext& context;        // compressors in; control and events out
  ui::WindowPort notifyWindow;  // receives WM_GRAPHNOTIFY for every graph event
  std::string& errorText;       // platform text of the last failure
};

// The graph's events arrive at the main window as this message.
constexpr UINT WM_GRAPHNOTIFY = WM_USER + 13;

// Removes the default renderers, adds the multiplexer and writer of the
// output format (or the Windows Media writer with a generated profile),
// inserts the compressors in use and connects the decoded streams to them.
// Every failure is reported at its step; the result is negative then.
HRESULT BuildConversionGraph(IGraphBuilder* graph, ConversionRequest& request);

// Binds the compressors the context lacks, then builds with its graph.
HRESULT BuildGraphWithCompressors(ConversionRequest& request);
