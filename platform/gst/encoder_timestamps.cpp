#include "platform/gst/encoder_timestamps.h"

#include <gst/video/video.h>

#include <cstring>
#include <string_view>

#include "platform/gst/gst_handle.h"

namespace gst {

namespace {

struct RepairState {
  TimestampRepair mode = TimestampRepair::None;
  GstSegment segment;  // the encoder's own segment
  guint64 frames = 0;
  gint fpsNum = 25;  // what libav assumes without a frame rate
  gint fpsDen = 1;
};

GstClockTime RunningTime(const GstSegment& segment, GstClockTime time) {
  if (!GST_CLOCK_TIME_IS_VALID(time)) return GST_CLOCK_TIME_NONE;
  guint64 running = 0;
  // Times before the segment (a DTS ahead of its PTS) have no running time.
  if (gst_segment_to_running_time_full(&segment, GST_FORMAT_TIME, time, &running) <= 0)
    return GST_CLOCK_TIME_NONE;
  return running;
}

GstPadProbeReturn OnEvent(RepairState& state, GstPadProbeInfo* info) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
    GstCaps* caps = nullptr;
    gst_event_parse_caps(event, &caps);
    gint num = 0;
    gint den = 0;
    if (gst_structure_get_fraction(gst_caps_get_structure(caps, 0), "framerate", &num, &den) &&
        num > 0 && den > 0) {
      state.fpsNum = num;
      state.fpsDen = den;
    }
  } else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(event, &segment);
    gst_segment_copy_into(segment, &state.segment);
    // Downstream sees time from zero, which the timestamps below match.
    GstSegment rebased;
    gst_segment_init(&rebased, GST_FORMAT_TIME);
    GstEvent* replacement = gst_event_new_segment(&rebased);
    gst_event_set_seqnum(replacement, gst_event_get_seqnum(event));
    gst_event_unref(event);
    GST_PAD_PROBE_INFO_DATA(info) = replacement;
  }
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn OnBuffer(RepairState& state, GstPadProbeInfo* info) {
  GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  if (state.mode == TimestampRepair::FrameCount) {
    const GstClockTime start = gst_util_uint64_scale(state.frames * GST_SECOND,
                                                     static_cast<guint64>(state.fpsDen),
                                                     static_cast<guint64>(state.fpsNum));
    ++state.frames;
    const GstClockTime end = gst_util_uint64_scale(state.frames * GST_SECOND,
                                                   static_cast<guint64>(state.fpsDen),
                                                   static_cast<guint64>(state.fpsNum));
    GST_BUFFER_PTS(buffer) = start;
    GST_BUFFER_DTS(buffer) = start;
    GST_BUFFER_DURATION(buffer) = end - start;
  } else {
    GST_BUFFER_PTS(buffer) = RunningTime(state.segment, GST_BUFFER_PTS(buffer));
    GST_BUFFER_DTS(buffer) = RunningTime(state.segment, GST_BUFFER_DTS(buffer));
  }
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn OnData(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& state = *static_cast<RepairState*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) return OnBuffer(state, info);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM)
    return OnEvent(state, info);
  return GST_PAD_PROBE_OK;
}

}  // namespace

TimestampRepair TimestampRepairFor(GstElement* encoder) {
  GstElementFactory* factory = gst_element_get_factory(encoder);
  if (!factory || !GST_IS_VIDEO_ENCODER(encoder)) return TimestampRepair::None;
  const std::string_view name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
  if (name == "avenc_mpeg4") return TimestampRepair::FrameCount;
  if (name.starts_with("avenc_")) return TimestampRepair::Rebase;
  return TimestampRepair::None;
}

PadProbe RepairEncoderTimestamps(GstElement* encoder) {
  const TimestampRepair mode = TimestampRepairFor(encoder);
  if (mode == TimestampRepair::None) return {};
  auto* state = new RepairState;
  state->mode = mode;
  gst_segment_init(&state->segment, GST_FORMAT_TIME);
  PadPtr source(gst_element_get_static_pad(encoder, "src"));
  // The probe owns the state from here and deletes it when it goes.
  return PadProbe(source.get(),
                  static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                               GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                  OnData, state, [](gpointer data) { delete static_cast<RepairState*>(data); });
}

}  // namespace gst
