#pragma once
// Where a writer stands in the file it writes, followed on its output: each
// buffer's bytes go where the last one's ended, and a writer that seeks (to
// rewrite its header once it knows its totals) first sends a segment in
// bytes that starts where it goes on.

#include <gst/gst.h>

#include <cstdint>
#include <utility>

namespace gst {

class WriterPosition {
 public:
  // The segment in bytes that `event` carries, followed from now on; null
  // for any other event.
  const GstSegment* Follow(GstEvent* event) {
    if (GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT) return nullptr;
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(event, &segment);
    if (segment->format != GST_FORMAT_BYTES) return nullptr;
    at_ = segment->start;
    return segment;
  }

  // Where a buffer of `size` bytes the writer gives out now goes; the writer
  // stands after it then.
  std::uint64_t Place(std::uint64_t size) { return std::exchange(at_, at_ + size); }

 private:
  std::uint64_t at_ = 0;
};

}  // namespace gst
