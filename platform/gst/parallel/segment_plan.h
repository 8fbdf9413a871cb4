#pragma once
// How a Windows Media conversion is cut into segments that encoders work on
// side by side: on the output's frame grid, each starting where the source
// has a key frame (so that decoding it starts there, with nothing decoded
// only to be dropped), more of them than workers so the work stays
// balanced, and short enough that the packets of segments that finish
// early wait in little memory.

#include <gst/gst.h>

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace gst {

struct Segment {
  std::uint64_t firstFrame = 0;  // on the output's frame grid
  std::uint64_t frames = 0;
  GstClockTime start = 0;  // the time of its first frame
  GstClockTime stop = 0;   // of the frame after its last
};

struct SegmentRequest {
  GstClockTime duration = 0;  // the source's
  int rateNum = 0;            // the output's frame rate
  int rateDen = 1;
  int workers = 1;
  // The time of the source's first key frame at or after `time`; the time
  // itself where the source cannot tell.
  std::function<GstClockTime(GstClockTime)> keyFrameFrom;
};

// Segments no shorter than this, so that starting one costs little beside
// its encoding; and no longer than that, so that those done early keep
// little waiting.
constexpr GstClockTime kShortestSegment = 2 * GST_SECOND;
constexpr GstClockTime kLongestSegment = 10 * GST_SECOND;
// As many segments as this many times the workers, where the source is long
// enough.
constexpr int kSegmentsPerWorker = 2;

// The time of frame `frame` on the grid of `rateNum`/`rateDen` a second.
GstClockTime FrameTime(std::uint64_t frame, int rateNum, int rateDen);

// The segments that cover the source from its start to its end, in order;
// or, when one worker must do the whole job, why.
std::variant<std::vector<Segment>, std::string> PlanSegments(const SegmentRequest& request);

}  // namespace gst
