#pragma once
// One run of a graph: the pipeline its plan describes, started after the
// output file was found writable, with the pipeline's end turned into a
// graph event.
//
// Events (queued from a GStreamer thread, which touches nothing else, under
// the run's generation, with no lock held):
// the end of every stream is EC_COMPLETE (param1 S_OK); a failure is
// EC_ERRORABORT with param1 the code that says what happened:
//   a stream has no installed decoder       VFW_E_NO_DECOMPRESSOR
//   the source lacks a stream the graph has VFW_E_UNSUPPORTED_STREAM
//   the source cannot be read or decoded    VFW_E_INVALID_FILE_FORMAT
//   the file cannot be written, or vanished HRESULT_WRITE_FAULT
//   the elements cannot agree on a format   VFW_E_TYPE_NOT_ACCEPTED
//   anything else                           VFW_E_RUNTIME_ERROR

#include <memory>

#include "platform/dshow/event_queue.h"
#include "platform/dshow/run_plan.h"
#include "platform/gst/pipeline/conversion.h"

namespace dshow {

HRESULT FailureCode(gst::PipelineEvent::Failure failure);

// Whether the file can be written, judged before anything runs:
// HRESULT_PATH_NOT_FOUND when its folder does not exist,
// HRESULT_FILENAME_TOO_LONG for a name the file system cannot hold,
// HRESULT_FILE_EXISTS when it exists and the mode does not allow
// overwriting, E_ACCESSDENIED when it or its folder cannot be written.
HRESULT CheckOutputFile(const FileSinkTarget& target);

class GraphRun {
 public:
  // Starts the plan; its events go to `events` under `generation` until
  // Stop. On failure nothing runs and no event comes: the output file's
  // code (CheckOutputFile), or VFW_E_RUNTIME_ERROR when the pipeline could
  // not be built or started.
  static HRESULT Start(RunPlan plan, EventQueue& events, RunGeneration generation,
                       std::unique_ptr<GraphRun>& run);

  GraphRun(const GraphRun&) = delete;
  GraphRun& operator=(const GraphRun&) = delete;

  // Ends the streams and waits (bounded) until the writer has finished, so
  // the file stays valid; after EndStreams it waits no more, the caller
  // having given the writer its time. VFW_E_TIMEOUT when the writer had not
  // finished: the file may then be incomplete, and the pipeline is left to
  // shut down on a thread of its own (a stuck writer cannot hold the
  // caller). No event comes after it.
  HRESULT Stop();

  // Ends the streams without waiting; the run's end then comes as
  // EC_COMPLETE once the writer has finished what the streams held.
  void EndStreams();

  // Media time reached by the slowest stream, 100 ns units; 0 before any.
  REFERENCE_TIME Position() const;

 private:
  GraphRun(RunPlan plan, EventQueue& events, RunGeneration generation);

  std::unique_ptr<gst::Conversion> pipeline_;
};

}  // namespace dshow
