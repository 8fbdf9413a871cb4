#include "platform/dshow/graph_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "platform/dshow/capture_interfaces.h"
#include "platform/dshow/errors.h"
#include "platform/gst/parallel/conversion_choice.h"

GST_DEBUG_CATEGORY_STATIC(graph_run_debug);
#define GST_CAT_DEFAULT graph_run_debug

namespace dshow {

namespace {

using Failure = gst::PipelineEvent::Failure;

constexpr auto kStopWait = std::chrono::seconds(5);

bool IsFolder(const std::string& path) {
  struct stat status = {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

HRESULT FailureCode(Failure failure) {
  switch (failure) {
    case Failure::MissingDecoder:
      return VFW_E_NO_DECOMPRESSOR;
    case Failure::MissingStream:
      return VFW_E_UNSUPPORTED_STREAM;
    case Failure::UnreadableSource:
      return VFW_E_INVALID_FILE_FORMAT;
    case Failure::Write:
      return HRESULT_WRITE_FAULT;
    case Failure::Negotiation:
      return VFW_E_TYPE_NOT_ACCEPTED;
    default:
      return VFW_E_RUNTIME_ERROR;
  }
}

HRESULT CheckOutputFile(const FileSinkTarget& target) {
  const std::filesystem::path path(target.path);
  if (target.path.empty()) return E_INVALIDARG;
  if (target.path.size() >= PATH_MAX || path.filename().native().size() > NAME_MAX)
    return HRESULT_FILENAME_TOO_LONG;
  const std::string folder =
      path.parent_path().empty() ? std::string(".") : path.parent_path().native();
  if (!IsFolder(folder)) return HRESULT_PATH_NOT_FOUND;
  struct stat status = {};
  if (stat(target.path.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) return E_ACCESSDENIED;
    if (!(target.mode & AM_FILE_OVERWRITE)) return HRESULT_FILE_EXISTS;
    return access(target.path.c_str(), W_OK) == 0 ? S_OK : E_ACCESSDENIED;
  }
  return access(folder.c_str(), W_OK | X_OK) == 0 ? S_OK : E_ACCESSDENIED;
}

// The pipeline calls the handler with no lock held and never after its Stop
// has returned, so the queue (which outlives the run) is safe to use.
GraphRun::GraphRun(RunPlan plan, EventQueue& events, RunGeneration generation) {
  std::optional<GstClockTime> duration;
  if (plan.sourceDuration && *plan.sourceDuration > 0)
    duration = static_cast<GstClockTime>(*plan.sourceDuration) * 100;
  pipeline_ = gst::MakeConversion(
      std::move(plan.description), duration,
      [&events, generation](const gst::PipelineEvent& event) {
        if (event.kind == gst::PipelineEvent::Kind::Complete) {
          events.Post(generation, EC_COMPLETE, S_OK, 0);
          return;
        }
        GST_WARNING("run failed: %s (%s)", event.message.c_str(), event.detail.c_str());
        events.Post(generation, EC_ERRORABORT, FailureCode(event.failure), 0);
      });
}

HRESULT GraphRun::Start(RunPlan plan, EventQueue& events, RunGeneration generation,
                        std::unique_ptr<GraphRun>& run) {
  GST_DEBUG_CATEGORY_INIT(graph_run_debug, "reelcast-run", 0, "runs of filter graphs");
  run.reset();
  if (plan.output) {
    const HRESULT hr = CheckOutputFile(*plan.output);
    if (FAILED(hr)) return hr;
  }
  std::unique_ptr<GraphRun> started(new GraphRun(std::move(plan), events, generation));
  if (const gst::Result<void> running = started->pipeline_->Start(); !running) {
    GST_WARNING("the run could not start: %s", running.error().c_str());
    const auto failure = started->pipeline_->FirstFailure();
    return failure ? FailureCode(*failure) : VFW_E_RUNTIME_ERROR;
  }
  run = std::move(started);
  return S_OK;
}

HRESULT GraphRun::Stop() {
  return pipeline_->Stop(kStopWait) == gst::Conversion::StopResult::TimedOut ? VFW_E_TIMEOUT : S_OK;
}

void GraphRun::EndStreams() { pipeline_->EndStreams(); }

REFERENCE_TIME GraphRun::Position() const {
  const auto position = pipeline_->Position();
  return position && *position > 0 ? *position / 100 : 0;
}

}  // namespace dshow
