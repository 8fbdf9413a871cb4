#pragma once
// One run of GStreamer's discoverer over one address, optionally watched:
// a watched attempt that has not found its way past the container to the
// streams (no parser or decoder plugged in) within `patience` is cut short
// and counts as timed out, while one that has is given its whole time.
//
// The watch tells apart the two reasons a discovery outlasts a second: a
// demuxer error that decodebin swallowed (nothing more will happen) and a
// first picture that takes long to decode (a 4K key frame on a busy
// machine), which would only be decoded again by a second attempt.

#include <chrono>
#include <optional>
#include <string>

#include "platform/gst/gst_handle.h"

namespace dshow {

struct DiscoveryAttempt {
  gst::DiscovererInfoPtr info;  // empty when no discoverer could be made
  gst::ErrorPtr error;          // the discoverer's own words, if any
  bool timedOut = false;        // ran out of time, or was cut short
};

DiscoveryAttempt AttemptDiscovery(const std::string& uri, std::chrono::seconds limit,
                                  std::optional<std::chrono::milliseconds> patience = {});

}  // namespace dshow
