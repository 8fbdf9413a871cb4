#pragma once
// One conversion as its callers see it, however it is carried out: one
// pipeline (ConversionPipeline) or segments of the picture encoded side by
// side and joined (SegmentedConversion). Its end comes once, as a Complete
// or an Error event, to a handler called on a GStreamer thread with no lock
// held, which only hands it over.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/gst/result.h"

namespace gst {

struct PipelineEvent {
  enum class Kind { Complete, Error };
  // What kind of failure an Error is, for callers that map it to codes.
  enum class Failure {
    None,
    MissingDecoder,    // a described stream has no installed decoder
    MissingStream,     // the source has no such stream
    UnreadableSource,  // the source cannot be read, parsed or decoded
    Write,             // the output cannot be opened or written
    Negotiation,       // the elements cannot agree on a format
    Other,
  };
  Kind kind = Kind::Complete;
  Failure failure = Failure::None;
  std::string message;  // for the user
  std::string detail;   // for a developer: element and debug text
};

using PipelineEventHandler = std::function<void(const PipelineEvent&)>;

// How long Stop waits for the writer unless told.
inline constexpr std::chrono::milliseconds kStopWait = std::chrono::seconds(5);

class Conversion {
 public:
  enum class StopResult {
    Finished,  // every stream ended and the writer closed the file
    Failed,    // an error ended the run (before or while stopping)
    TimedOut,  // the streams did not end in time; the file may be incomplete
  };

  Conversion() = default;
  virtual ~Conversion() = default;
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  virtual Result<void> Start() = 0;
  virtual StopResult Stop(std::chrono::milliseconds wait = kStopWait) = 0;
  virtual void EndStreams() = 0;
  virtual std::optional<std::int64_t> Position() const = 0;
  virtual std::optional<std::int64_t> Duration() const = 0;
  virtual std::optional<PipelineEvent::Failure> FirstFailure() const = 0;
};

}  // namespace gst
