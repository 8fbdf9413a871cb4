#pragma once
// Runs one conversion: builds the pipeline a PipelineDescription asks for
// (filesrc ! decodebin, one branch per described stream, a muxer and a file
// sink), runs it, stops it so that the file stays valid, and reports its end.
//
//   ConversionPipeline run(std::move(description), handler);
//   Result<void> started = run.Start();
//   if (!started) ...                     // nothing started; started.error() says why
//   ... handler gets Complete or Error, once, on a GStreamer thread ...
//   run.Stop();                           // ends the file cleanly if still running
//
// Start, Stop, EndStreams, Position, Duration and the destructor belong to the thread
// that made the object. The handler is called on a GStreamer thread (or
// within Start), with no lock of this object held; it must only hand the
// event over (queue it, post it) and must not call back into this object.
// It is never called once Stop or the destructor has returned.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/gst/pipeline/conversion.h"
#include "platform/gst/pipeline/pipeline_description.h"
#include "platform/gst/result.h"

namespace gst {

class ConversionPipeline final : public Conversion {
 public:
  ConversionPipeline(PipelineDescription description, PipelineEventHandler handler);
  // Stops without waiting: a run that has not ended has its streams ended
  // and is left to finish and shut down on a thread of its own, as after a
  // Stop that timed out. No event comes after it.
  ~ConversionPipeline() override;
  ConversionPipeline(const ConversionPipeline&) = delete;
  ConversionPipeline& operator=(const ConversionPipeline&) = delete;

  // Builds the pipeline and sets it going. Fails, with no event, when an
  // element is missing or refuses its settings, the parts cannot be
  // linked, or the pipeline refuses to start (for example an output folder
  // that does not exist). Called once.
  Result<void> Start() override;

  // Ends the streams, waits up to `wait` for the writer to finish, then
  // shuts the pipeline down. After EndStreams it does not wait again: the
  // writer has had its time. When the writer has not finished (TimedOut)
  // the run is left to finish on a thread of its own (a minute at most),
  // which then shuts it down, waiting for the writer however long it takes,
  // and releases everything; Stop itself returns at once. No event is
  // reported for a stop; a run that already ended just shuts down. A second
  // Stop gives the first one's result.
  StopResult Stop(std::chrono::milliseconds wait = kStopWait) override;

  // Ends the streams where they enter their branches and returns at once;
  // what is inside the branches is still written. The end comes as the
  // Complete event (or an Error) once the writer has finished, and a Stop
  // afterwards only shuts down. Does nothing once the run has ended.
  void EndStreams() override;

  // Media time reached by the slowest stream, and the source's duration as
  // its demuxer answers it (an MP4's lengthened as movie_length.h tells), in
  // nanoseconds; nothing when not known (yet).
  std::optional<std::int64_t> Position() const override;
  std::optional<std::int64_t> Duration() const override;

  // The kind of the first error the pipeline met; after a refused Start,
  // why it refused (a file the writer could not open, say).
  std::optional<PipelineEvent::Failure> FirstFailure() const override;

  // Waits up to `limit` until every pipeline left to shut down on a thread
  // of its own has been released; false when some are still busy.
  static bool WaitUntilShutDown(std::chrono::milliseconds limit);

  class Impl;

 private:
  void ShutDownApart();

  std::unique_ptr<Impl> impl_;
  std::optional<StopResult> stopped_;
};

}  // namespace gst
