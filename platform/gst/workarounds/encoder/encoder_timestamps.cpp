#include "platform/gst/workarounds/encoder/encoder_timestamps.h"

#include <gst/video/video.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gst/encoders/libav_video_encoder.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/pipeline/running_time.h"
#include "platform/gst/workarounds/element_trial.h"
#include "platform/gst/workarounds/registry.h"

namespace gst {

namespace {

struct Timeline {
  GstSegment input;   // the segment the encoder's input came with
  GstSegment output;  // the segment the encoder gives its output
  // Running time of the first frame: the encoder's zero.
  std::atomic<GstClockTime> origin{GST_CLOCK_TIME_NONE};
};
using TimelinePtr = std::shared_ptr<Timeline>;

GstBuffer* WritableBuffer(GstPadProbeInfo* info) {
  GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  return buffer;
}

GstPadProbeReturn OnInput(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  Timeline& timeline = **static_cast<TimelinePtr*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_STREAM_START ||
        GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
      // The encoder sets its 1000 hours when it starts; undone before it
      // sees a frame.
      ElementPtr encoder(gst_pad_get_parent_element(pad));
      if (encoder) gst_video_encoder_set_min_pts(GST_VIDEO_ENCODER(encoder.get()), 0);
    }
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) TakeSegment(info, timeline.input);
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = WritableBuffer(info);
  const GstClockTime running = RunningTimeOf(timeline.input, GST_BUFFER_PTS(buffer));
  GstClockTime origin = timeline.origin.load();
  if (!GST_CLOCK_TIME_IS_VALID(origin) && GST_CLOCK_TIME_IS_VALID(running)) {
    origin = running;
    timeline.origin.store(origin);
  }
  auto sinceOrigin = [origin](GstClockTime time) {
    if (!GST_CLOCK_TIME_IS_VALID(time) || !GST_CLOCK_TIME_IS_VALID(origin))
      return GST_CLOCK_TIME_NONE;
    return time > origin ? time - origin : GstClockTime{0};
  };
  GST_BUFFER_PTS(buffer) = sinceOrigin(running);
  GST_BUFFER_DTS(buffer) = sinceOrigin(RunningTimeOf(timeline.input, GST_BUFFER_DTS(buffer)));
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn OnOutput(GstPad*, GstPadProbeInfo* info, gpointer data) {
  Timeline& timeline = **static_cast<TimelinePtr*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    // Downstream sees running time from zero, which the timestamps below are.
    if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_SEGMENT)
      TakeSegment(info, timeline.output);
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = WritableBuffer(info);
  const GstClockTime origin = timeline.origin.load();
  // The encoder counted from its first frame; the stream's start within the
  // run (a sound that begins before the picture, say) is given back here.
  auto restored = [&](GstClockTime time) {
    const GstClockTime running = RunningTimeOf(timeline.output, time);
    if (!GST_CLOCK_TIME_IS_VALID(running) || !GST_CLOCK_TIME_IS_VALID(origin)) return running;
    return running + origin;
  };
  const GstClockTime pts = restored(GST_BUFFER_PTS(buffer));
  GstClockTime dts = restored(GST_BUFFER_DTS(buffer));
  // With B-frames the first decoding times lie before zero, which the
  // encoder cannot express; such a frame is decoded when it is shown.
  if (GST_CLOCK_TIME_IS_VALID(pts) && GST_CLOCK_TIME_IS_VALID(dts) && dts > pts) dts = pts;
  GST_BUFFER_PTS(buffer) = pts;
  GST_BUFFER_DTS(buffer) = dts;
  return GST_PAD_PROBE_OK;
}

PadProbe Watch(GstElement* encoder, const char* pad, GstPadProbeCallback callback,
               const TimelinePtr& timeline) {
  PadPtr target(gst_element_get_static_pad(encoder, pad));
  // Each probe holds the timeline; it goes with the last of them.
  return PadProbe(
      target.get(),
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
      callback, new TimelinePtr(timeline),
      [](gpointer data) { delete static_cast<TimelinePtr*>(data); });
}

}  // namespace

bool LibavVideoEncodersMisstampFirstTime() {
  ElementTrial trial;
  GstElement* encoder = trial.Add("avenc_mpeg4");
  if (!encoder || !trial.Play(encoder)) return false;
  const PadPtr input(gst_element_get_static_pad(encoder, "sink"));
  constexpr int kSize = 64;
  const CapsPtr caps(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", "width",
                                         G_TYPE_INT, kSize, "height", G_TYPE_INT, kSize,
                                         "framerate", GST_TYPE_FRACTION, 25, 1, nullptr));
  if (!trial.Begin(input.get(), caps.get()) ||
      !trial.Push(input.get(), std::vector<std::uint8_t>(kSize * kSize * 3 / 2, 0x80), GST_SECOND,
                  GST_SECOND / 25))
    return false;
  trial.End(input.get());
  if (!trial.Finish() || trial.Ends().empty()) return false;
  const ElementTrial::Received& out = trial.Ends().front();
  if (out.buffers.empty() || !out.segment) return false;
  return RunningTimeOf(*out.segment, out.buffers.front().pts) != GST_SECOND;
}

std::vector<PadProbe> RepairEncoderTimestamps(GstElement* encoder) {
  std::vector<PadProbe> probes;
  if (!IsLibavVideoEncoder(encoder) || !Engaged(Workaround::LibavVideoTimestamps)) return probes;
  auto timeline = std::make_shared<Timeline>();
  gst_segment_init(&timeline->input, GST_FORMAT_TIME);
  gst_segment_init(&timeline->output, GST_FORMAT_TIME);
  probes.push_back(Watch(encoder, "sink", OnInput, timeline));
  probes.push_back(Watch(encoder, "src", OnOutput, timeline));
  return probes;
}

}  // namespace gst
