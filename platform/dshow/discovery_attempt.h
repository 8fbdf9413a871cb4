#pragma once
// One run of GStreamer's discoverer over one address, optionally watched:
// a watched attempt that has not found its way past the container to the
// streams (no parser or decoder plugged in) when its patience runs out is
// cut short and counts as timed out, while one that has is given its whole
// time.
//
// The watch tells apart the two reasons a discovery outlasts a second: a
// demuxer error that decodebin swallowed (nothing more will happen) and a
// first picture that takes long to decode (a large picture of a stream
// without a parser, on a busy machine), which would only be decoded again by
// a second attempt.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/gst/gst_handle.h"

namespace dshow {

struct DiscoveryAttempt {
  gst::DiscovererInfoPtr info;  // empty when no discoverer could be made
  gst::ErrorPtr error;          // the discoverer's own words, if any
  bool timedOut = false;        // ran out of time, or was cut short
};

// How long a watched attempt waits to reach a stream. `wait`, when given,
// stands in for the waiting: the watch's thread calls it, and it calls
// `timeUp` at a moment of its own choosing (a test's, on an event).
struct Patience {
  std::chrono::milliseconds time{};
  std::function<void(const std::function<void()>& timeUp)> wait;
};

DiscoveryAttempt AttemptDiscovery(const std::string& uri, std::chrono::seconds limit,
                                  std::optional<Patience> patience = {});

}  // namespace dshow
