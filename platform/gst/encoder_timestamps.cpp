#include "platform/gst/encoder_timestamps.h"

#include <gst/video/video.h>

#include <atomic>
#include <memory>
#include <string_view>

#include "platform/gst/gst_handle.h"
#include "platform/gst/running_time.h"

namespace gst {

namespace {

// Shared by the probe on the encoder's input, which learns where the
// stream starts, and the one on its output, which counts frames from there.
struct FrameCounter {
  std::atomic<GstClockTime> origin{GST_CLOCK_TIME_NONE};
  GstSegment input;   // the segment of the frames going in
  GstSegment output;  // the encoder's own, replaced downstream
  guint64 frames = 0;
  gint fpsNum = 25;  // what libav assumes without a frame rate
  gint fpsDen = 1;
};

using SharedCounter = std::shared_ptr<FrameCounter>;

PadProbe Probe(GstPad* pad, GstPadProbeCallback callback, const SharedCounter& counter) {
  return PadProbe(pad,
                  static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                               GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                  callback, new SharedCounter(counter),
                  [](gpointer data) { delete static_cast<SharedCounter*>(data); });
}

GstPadProbeReturn OnInput(GstPad*, GstPadProbeInfo* info, gpointer data) {
  FrameCounter& counter = **static_cast<SharedCounter*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
    if (!GST_CLOCK_TIME_IS_VALID(counter.origin.load()))
      counter.origin.store(RunningTimeOf(counter.input, GST_BUFFER_PTS(GST_PAD_PROBE_INFO_BUFFER(info))));
  } else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_SEGMENT) {
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(GST_PAD_PROBE_INFO_EVENT(info), &segment);
    gst_segment_copy_into(segment, &counter.input);
  }
  return GST_PAD_PROBE_OK;
}

GstClockTime FrameTime(const FrameCounter& counter, guint64 frame) {
  return gst_util_uint64_scale(frame * GST_SECOND, static_cast<guint64>(counter.fpsDen),
                               static_cast<guint64>(counter.fpsNum));
}

GstPadProbeReturn OnOutput(GstPad*, GstPadProbeInfo* info, gpointer data) {
  FrameCounter& counter = **static_cast<SharedCounter*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    const GstClockTime origin = counter.origin.load();
    const GstClockTime base = GST_CLOCK_TIME_IS_VALID(origin) ? origin : 0;
    const GstClockTime start = FrameTime(counter, counter.frames++);
    GST_BUFFER_PTS(buffer) = base + start;
    GST_BUFFER_DTS(buffer) = base + start;
    GST_BUFFER_DURATION(buffer) = FrameTime(counter, counter.frames) - start;
    return GST_PAD_PROBE_OK;
  }
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
    GstCaps* caps = nullptr;
    gst_event_parse_caps(event, &caps);
    gint num = 0;
    gint den = 0;
    if (gst_structure_get_fraction(gst_caps_get_structure(caps, 0), "framerate", &num, &den) &&
        num > 0 && den > 0) {
      counter.fpsNum = num;
      counter.fpsDen = den;
    }
  } else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
    TakeSegment(info, counter.output);
  }
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

std::vector<PadProbe> RepairEncoderTimestamps(GstElement* encoder) {
  std::vector<PadProbe> probes;
  const TimestampRepair mode = TimestampRepairFor(encoder);
  PadPtr output(gst_element_get_static_pad(encoder, "src"));
  if (mode == TimestampRepair::Rebase) {
    probes.push_back(RestampToRunningTime(output.get()));
  } else if (mode == TimestampRepair::FrameCount) {
    auto counter = std::make_shared<FrameCounter>();
    gst_segment_init(&counter->input, GST_FORMAT_TIME);
    gst_segment_init(&counter->output, GST_FORMAT_TIME);
    PadPtr input(gst_element_get_static_pad(encoder, "sink"));
    probes.push_back(Probe(input.get(), &OnInput, counter));
    probes.push_back(Probe(output.get(), &OnOutput, counter));
  }
  return probes;
}

}  // namespace gst
