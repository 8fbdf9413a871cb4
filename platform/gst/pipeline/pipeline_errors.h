#pragma once
// Pipeline failures as the events ConversionPipeline reports: GStreamer's
// errors classified, and the run's own (a stream the source lacks, a file
// that disappeared).

#include <gst/gst.h>

#include <string>

#include "platform/gst/pipeline/conversion_pipeline.h"

namespace gst {

// The error domain of failures the run detects itself; codes are
// PipelineEvent::Failure values.
GQuark ConversionErrorQuark();

// An Error event from an error message; `writer` is the file sink, whose
// resource errors are write failures whatever their code.
PipelineEvent ErrorEvent(GstMessage* error, GstElement* writer);

// Posts a failure of the run's own as an error message of `source`.
void PostFailure(GstElement* source, PipelineEvent::Failure failure, const std::string& message);

}  // namespace gst
