#pragma once
// Runs a conversion to its end (or a time limit) and reports how it ended.

#include <chrono>
#include <optional>
#include <string>

#include "platform/gst/pipeline/conversion_pipeline.h"

namespace gst_test {

struct Outcome {
  bool started = false;
  std::string startError;
  std::optional<gst::PipelineEvent> event;  // none: no end within the limit

  bool Completed() const { return event && event->kind == gst::PipelineEvent::Kind::Complete; }
  std::string Describe() const;
};

Outcome Convert(gst::PipelineDescription description,
                std::chrono::seconds limit = std::chrono::seconds(60));

// Makes sure GStreamer is initialised in this process.
void InitGst();

}  // namespace gst_test
