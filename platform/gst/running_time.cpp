#include "platform/gst/running_time.h"

#include <string_view>

#include "platform/gst/element_maker.h"

namespace gst {

namespace {

GstPadProbeReturn OnData(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& segment = *static_cast<GstSegment*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GST_BUFFER_PTS(buffer) = RunningTimeOf(segment, GST_BUFFER_PTS(buffer));
    GST_BUFFER_DTS(buffer) = RunningTimeOf(segment, GST_BUFFER_DTS(buffer));
  } else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_SEGMENT) {
    TakeSegment(info, segment);
  }
  return GST_PAD_PROBE_OK;
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

void TakeSegment(GstPadProbeInfo* info, GstSegment& kept) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  const GstSegment* segment = nullptr;
  gst_event_parse_segment(event, &segment);
  gst_segment_copy_into(segment, &kept);
  GstSegment zero;
  gst_segment_init(&zero, GST_FORMAT_TIME);
  GstEvent* replacement = gst_event_new_segment(&zero);
  gst_event_set_seqnum(replacement, gst_event_get_seqnum(event));
  gst_event_unref(event);
  GST_PAD_PROBE_INFO_DATA(info) = replacement;
}

PadProbe RestampToRunningTime(GstPad* pad) {
  auto* segment = g_new(GstSegment, 1);
  gst_segment_init(segment, GST_FORMAT_TIME);
  return PadProbe(
      pad,
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
      &OnData, segment, g_free);
}

bool WritesTimestampsAsGiven(GstElement* muxer) {
  const std::string_view name = FactoryNameOf(muxer);
  return name.starts_with("avmux_") || name == "avimux" || name == "asfmux";
}

bool StartsEveryStreamAtZero(GstElement* muxer) { return FactoryNameOf(muxer) == "avimux"; }

}  // namespace gst
