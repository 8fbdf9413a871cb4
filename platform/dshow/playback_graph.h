#pragma once
// Builds the playback graph of a file in a graph: what RenderFile does.

#include <string>

#include "platform/dshow/graph_interfaces.h"

namespace dshow {

// The graph is left unchanged when the file cannot be played. Success codes:
// S_OK, or VFW_S_VIDEO_NOT_RENDERED / VFW_S_AUDIO_NOT_RENDERED /
// VFW_S_PARTIAL_RENDER when some streams have no installed decoder.
HRESULT RenderPlayback(IFilterGraph& graph, const std::string& path);

}  // namespace dshow
