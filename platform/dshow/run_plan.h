#pragma once
// What running a graph means: the one pipeline its filters stand for.
//
// Each stream of the source whose decoder feeds something becomes a branch:
// through its compressor's own element when there is one, into the
// multiplexer's own element (and the file of the writer after it) or the
// Windows Media writer (which encodes as its profile says), or to nothing
// when it ends in a default renderer. Streams that feed nothing are left to
// the runner, which drains them. A stream whose rate was measured because
// it declares none is made constant at that rate, and pictures the file
// declares turned are turned upright.

#include <optional>

#include "platform/dshow/filter_role.h"
#include "platform/dshow/graph_interfaces.h"
#include "platform/gst/pipeline/pipeline_description.h"

namespace dshow {

struct RunPlan {
  gst::PipelineDescription description;
  std::optional<FileSinkTarget> output;          // the file written, if any
  std::optional<REFERENCE_TIME> sourceDuration;  // as the source file says
};

// VFW_E_NOT_CONNECTED when no stream reaches anything, when a multiplexer
// has no file writer, or when an input of the Windows Media writer is left
// unconnected; E_NOTIMPL for graphs of several sources or several writers.
HRESULT PlanRun(IFilterGraph& graph, RunPlan& plan);

// The pipeline's name for a kind of stream.
gst::StreamKind ToRunKind(StreamKind kind);

}  // namespace dshow
