#include "platform/gst/pipeline/audio_continuity.h"

#include <gst/audio/audio.h>

namespace gst {

namespace {

struct Continuity {
  GstAudioInfo format;
  bool formatKnown = false;
  GstClockTime nextStart = GST_CLOCK_TIME_NONE;
};

GstClockTime DurationOf(const Continuity& state, GstBuffer* buffer) {
  if (GST_BUFFER_DURATION_IS_VALID(buffer)) return GST_BUFFER_DURATION(buffer);
  if (!state.formatKnown || GST_AUDIO_INFO_BPF(&state.format) <= 0 ||
      GST_AUDIO_INFO_RATE(&state.format) <= 0)
    return GST_CLOCK_TIME_NONE;
  const guint64 frames = gst_buffer_get_size(buffer) / GST_AUDIO_INFO_BPF(&state.format);
  return gst_util_uint64_scale(frames, GST_SECOND, GST_AUDIO_INFO_RATE(&state.format));
}

GstPadProbeReturn OnData(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& state = *static_cast<Continuity*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      state.formatKnown = gst_audio_info_from_caps(&state.format, caps);
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT ||
               GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
      state.nextStart = GST_CLOCK_TIME_NONE;  // a new timeline
    }
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!GST_BUFFER_PTS_IS_VALID(buffer)) return GST_PAD_PROBE_OK;
  if (GST_CLOCK_TIME_IS_VALID(state.nextStart) && GST_BUFFER_PTS(buffer) < state.nextStart) {
    buffer = gst_buffer_make_writable(buffer);
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GST_BUFFER_PTS(buffer) = state.nextStart;
    GST_BUFFER_DTS(buffer) = GST_CLOCK_TIME_NONE;
  }
  const GstClockTime duration = DurationOf(state, buffer);
  state.nextStart = GST_CLOCK_TIME_IS_VALID(duration) ? GST_BUFFER_PTS(buffer) + duration
                                                      : GST_BUFFER_PTS(buffer);
  return GST_PAD_PROBE_OK;
}

}  // namespace

PadProbe KeepAudioInOrder(GstPad* pad) {
  return PadProbe(
      pad,
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
      &OnData, new Continuity, [](gpointer data) { delete static_cast<Continuity*>(data); });
}

}  // namespace gst
