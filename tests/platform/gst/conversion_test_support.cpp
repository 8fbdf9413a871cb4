#include "tests/platform/gst/conversion_test_support.h"

#include <condition_variable>
#include <mutex>

namespace gst_test {

std::string Outcome::Describe() const {
  if (!started) return "not started: " + startError;
  if (!event) return "no end in time";
  return (event->kind == gst::PipelineEvent::Kind::Complete ? "complete" : "error: ") +
         event->message + " [" + event->detail + "]";
}

Outcome Convert(gst::PipelineDescription description, std::chrono::seconds limit) {
  return Convert(
      [&](gst::PipelineEventHandler handler) {
        return std::make_unique<gst::ConversionPipeline>(std::move(description),
                                                         std::move(handler));
      },
      limit);
}

Outcome Convert(
    const std::function<std::unique_ptr<gst::Conversion>(gst::PipelineEventHandler)>& make,
    std::chrono::seconds limit) {
  std::mutex mutex;
  std::condition_variable ended;
  Outcome outcome;
  const std::unique_ptr<gst::Conversion> run = make([&](const gst::PipelineEvent& event) {
    std::lock_guard lock(mutex);
    outcome.event = event;
    ended.notify_all();
  });
  const gst::Result<void> started = run->Start();
  outcome.started = started.has_value();
  outcome.startError = started.error();
  if (outcome.started) {
    std::unique_lock lock(mutex);
    ended.wait_for(lock, limit, [&] { return outcome.event.has_value(); });
  }
  run->Stop();
  return outcome;
}

void InitGst() { gst_init(nullptr, nullptr); }

gst::PipelineDescription WindowsMediaConversion(const std::string& source,
                                                const std::string& output,
                                                const gst::AsfAudioStream& audio,
                                                const gst::AsfVideoStream& video) {
  gst::AsfWriterPlan plan = gst::PlanAsfWriter(audio, video);
  gst::PipelineDescription description;
  description.sourcePath = source;
  description.branches = std::move(plan.branches);
  description.muxer = std::move(plan.muxer);
  description.outputPath = output;
  return description;
}

}  // namespace gst_test
