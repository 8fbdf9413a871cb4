#pragma once
// Runs a conversion to its end (or a time limit) and reports how it ended.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/gst/encoders/asf_writer_plan.h"
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
// The same for a conversion that `make` makes around the handler given.
Outcome Convert(
    const std::function<std::unique_ptr<gst::Conversion>(gst::PipelineEventHandler)>& make,
    std::chrono::seconds limit = std::chrono::seconds(60));

// A Windows Media file of `source` with these streams, as the writer's plan
// lays the conversion out.
gst::PipelineDescription WindowsMediaConversion(
    const std::string& source, const std::string& output,
    const gst::AsfAudioStream& audio = {64000, 44100, 2},
    const gst::AsfVideoStream& video = {320, 240, 25, 1, 400000, 8});

// Makes sure GStreamer is initialised in this process.
void InitGst();

}  // namespace gst_test
