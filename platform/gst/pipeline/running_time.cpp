#include "platform/gst/pipeline/running_time.h"

#include <string_view>

#include "platform/gst/element_maker.h"

namespace gst {

namespace {

// A picture or sound that starts before the segment and ends inside it
// (decoders keep such a one) starts at the segment's start.
GstClockTime StartingTimeOf(const GstSegment& segment, GstClockTime time) {
  const GstClockTime running = RunningTimeOf(segment, time);
  return GST_CLOCK_TIME_IS_VALID(running) || !GST_CLOCK_TIME_IS_VALID(time) ? running : 0;
}

struct Restamping {
  GstSegment segment;
  bool zeroSent = false;  // since the start or the last flush
};

GstPadProbeReturn OnData(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& state = *static_cast<Restamping*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GST_BUFFER_PTS(buffer) = StartingTimeOf(state.segment, GST_BUFFER_PTS(buffer));
    GST_BUFFER_DTS(buffer) = RunningTimeOf(state.segment, GST_BUFFER_DTS(buffer));
    return GST_PAD_PROBE_OK;
  }
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) state.zeroSent = false;
  if (GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT) return GST_PAD_PROBE_OK;
  if (!state.zeroSent) {
    TakeSegment(info, state.segment);
    state.zeroSent = true;
    return GST_PAD_PROBE_OK;
  }
  // Downstream already has the segment from zero; a second one would make
  // the rate elements start over from its start.
  const GstSegment* segment = nullptr;
  gst_event_parse_segment(event, &segment);
  gst_segment_copy_into(segment, &state.segment);
  return GST_PAD_PROBE_DROP;
}

}  // namespace

GstClockTime RunningTimeOf(const GstSegment& segment, GstClockTime time) {
  if (!GST_CLOCK_TIME_IS_VALID(time)) return GST_CLOCK_TIME_NONE;
  guint64 running = 0;
  // Times before the segment (a DTS ahead of its PTS) have no running time.
  if (gst_segment_to_running_time_full(&segment, GST_FORMAT_TIME, time, &running) <= 0)
    return GST_CLOCK_TIME_NONE;
  return running;
}

void ReplaceSegment(GstPadProbeInfo* info, const GstSegment& segment) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  GstEvent* replacement = gst_event_new_segment(&segment);
  gst_event_set_seqnum(replacement, gst_event_get_seqnum(event));
  gst_event_unref(event);
  GST_PAD_PROBE_INFO_DATA(info) = replacement;
}

void TakeSegment(GstPadProbeInfo* info, GstSegment& kept) {
  const GstSegment* segment = nullptr;
  gst_event_parse_segment(GST_PAD_PROBE_INFO_EVENT(info), &segment);
  gst_segment_copy_into(segment, &kept);
  GstSegment zero;
  gst_segment_init(&zero, GST_FORMAT_TIME);
  ReplaceSegment(info, zero);
}

PadProbe RestampToRunningTime(GstPad* pad) {
  auto* state = new Restamping;
  gst_segment_init(&state->segment, GST_FORMAT_TIME);
  return PadProbe(
      pad,
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
      &OnData, state, [](gpointer data) { delete static_cast<Restamping*>(data); });
}

bool WritesTimestampsAsGiven(GstElement* muxer) {
  const std::string_view name = FactoryNameOf(muxer);
  return name.starts_with("avmux_") || name == "avimux" || name == "asfmux";
}

bool StartsEveryStreamAtZero(GstElement* muxer) { return FactoryNameOf(muxer) == "avimux"; }

}  // namespace gst
