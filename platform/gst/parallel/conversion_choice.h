#pragma once
// Which way a conversion is carried out. A Windows Media conversion of a
// source that seeks to a frame exactly, long enough for a few segments, with
// more than one worker allowed (cores.h), encodes its picture in segments
// side by side (SegmentedConversion); every other one, and any that cannot
// be cut, runs as one pipeline (ConversionPipeline). Both write the same
// file.

#include <gst/gst.h>

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/gst/parallel/segment_plan.h"
#include "platform/gst/pipeline/conversion.h"
#include "platform/gst/pipeline/pipeline_description.h"

namespace gst {

// The segments for `workers` side by side, or why one worker does the job.
// `duration` is the source's, as discovery found it.
std::variant<std::vector<Segment>, std::string> SegmentsFor(const PipelineDescription& description,
                                                            std::optional<GstClockTime> duration,
                                                            int workers);

// The conversion, for WorkerLimit() workers.
std::unique_ptr<Conversion> MakeConversion(PipelineDescription description,
                                           std::optional<GstClockTime> duration,
                                           PipelineEventHandler handler);

}  // namespace gst
