#pragma once
// Probing a source file and opening its playback graph.

#include <cstdint>
#include <string>

#include "engine/graph_context.h"
#include "engine/media_info.h"
#include "engine/output_settings.h"

// Lets a short-lived graph play the file and reads its duration (into
// durationOut), frame size and frame rate (into mediaInfo; the frame size
// also into the settings' output size). Returns 1 when every value was
// obtained, else 0 after one message; values read before the failure stay.
// A file whose frame time is unknown or zero is refused: its frame rate would
// be infinite.
int ProbeSourceFile(const std::string& sourcePath, std::int64_t& durationOut, MediaInfo& mediaInfo,
                    OutputSettings& settings);

// Opens the playback graph of the file into the context's graph and control.
// Returns 1, or the failure code; on failure the context holds no graph,
// control or events (a previous graph is released in any case).
HRESULT CreateSourceGraph(const std::string& sourcePath, GraphContext& context);
