#pragma once
// Dismantling a conversion graph after a run.

#include <string>

#include "engine/graph_context.h"
#include "engine/output_settings.h"

// Removes the source filter (found by its name, the source's full path) and
// every filter downstream of it, depth-first from the writer back to the
// source. Compressor filters of the context met on the way are replaced by
// fresh instances bound from the settings' indices. Does not release the
// graph itself.
HRESULT TearDownGraph(IGraphBuilder* graph, const std::string& sourcePath,
                      const OutputSettings& settings, GraphContext& context);
