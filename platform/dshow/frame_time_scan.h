#pragma once
// The average frame time of a video stream that declares no frame rate (a
// variable-rate file), measured from the timestamps of its first frames.
// The file is only demultiplexed and parsed, never decoded, so the scan of a
// local file takes a few milliseconds.

#include <optional>
#include <string>

namespace dshow {

// How many frames the average is taken over (fewer when the stream is
// shorter), and how long the scan may take in all.
constexpr int kFrameTimeScanFrames = 120;
constexpr int kFrameTimeScanMilliseconds = 1000;

// Seconds between frames on average over the first frames of the video
// stream: the one whose stream id is `streamId` when that is given and
// announced, else the `videoIndex`-th video stream (0-based). Nothing when
// fewer than two frames with timestamps arrived in time, or the first and
// last of them share one time: the frame time is then truly unknown.
std::optional<double> MeasureFrameTime(const std::string& uri, const std::string& streamId,
                                       int videoIndex);

}  // namespace dshow
