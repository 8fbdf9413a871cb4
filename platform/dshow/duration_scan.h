#pragma once
// The length of a file whose demultiplexer cannot tell it: a broadcast
// recording whose clock wraps around inside it, a WebM recorded live
// (without a length or an index). Measured from the timestamps of all its
// parsed streams, read through to the end.

#include <gst/gst.h>

#include <optional>
#include <string>

namespace dshow {

// How long the scan may read, as long as a slow file's discovery may take
// (several gigabytes of a local file); a file that takes longer keeps the
// length it had.
constexpr int kDurationScanSeconds = 20;

// From the earliest start to the latest end of any stream's buffers;
// nothing when the file cannot be read to its end in time or has no timed buffers.
std::optional<GstClockTime> MeasureDuration(const std::string& uri);

}  // namespace dshow
