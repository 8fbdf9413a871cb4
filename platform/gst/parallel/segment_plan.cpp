#include "platform/gst/parallel/segment_plan.h"

#include <algorithm>

namespace gst {

GstClockTime FrameTime(std::uint64_t frame, int rateNum, int rateDen) {
  return gst_util_uint64_scale(frame, static_cast<guint64>(rateDen) * GST_SECOND,
                               static_cast<guint64>(rateNum));
}

namespace {

// The first frame of the grid at or after `time`.
std::uint64_t FrameAtOrAfter(GstClockTime time, int rateNum, int rateDen) {
  return gst_util_uint64_scale_ceil(time, static_cast<guint64>(rateNum),
                                    static_cast<guint64>(rateDen) * GST_SECOND);
}

}  // namespace

std::variant<std::vector<Segment>, std::string> PlanSegments(const SegmentRequest& request) {
  if (request.workers < 2) return std::string("one core");
  if (request.rateNum <= 0 || request.rateDen <= 0) return std::string("no fixed frame rate");
  if (!GST_CLOCK_TIME_IS_VALID(request.duration) || request.duration == 0)
    return std::string("no known length");
  const GstClockTime wanted = std::clamp<GstClockTime>(
      request.duration / (static_cast<GstClockTime>(request.workers) * kSegmentsPerWorker),
      kShortestSegment, kLongestSegment);
  const std::uint64_t total = FrameAtOrAfter(request.duration, request.rateNum, request.rateDen);

  // Each cut goes to the first frame at or after the first key frame from
  // where the segment would end; cuts that meet or pass the end are dropped.
  std::vector<std::uint64_t> cuts{0};
  while (true) {
    const GstClockTime nominal = FrameTime(cuts.back(), request.rateNum, request.rateDen) + wanted;
    if (nominal + kShortestSegment / 2 >= request.duration) break;
    // A key frame before the nominal cut (an index that answers with the
    // one before) would make a short segment: the cut stays where wanted.
    const GstClockTime key = request.keyFrameFrom ? request.keyFrameFrom(nominal) : nominal;
    const std::uint64_t cut =
        FrameAtOrAfter(std::max(key, nominal), request.rateNum, request.rateDen);
    if (cut <= cuts.back() || cut >= total) break;
    // A key frame far past the nominal cut makes a long segment; the next
    // one starts from there all the same.
    cuts.push_back(cut);
  }
  if (cuts.size() < 3) return std::string("too short for segments");
  cuts.push_back(total);

  std::vector<Segment> segments;
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    Segment segment;
    segment.firstFrame = cuts[i];
    segment.frames = cuts[i + 1] - cuts[i];
    segment.start = FrameTime(cuts[i], request.rateNum, request.rateDen);
    segment.stop = FrameTime(cuts[i + 1], request.rateNum, request.rateDen);
    segments.push_back(segment);
  }
  return segments;
}

}  // namespace gst
