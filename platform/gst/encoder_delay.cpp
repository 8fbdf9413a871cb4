#include "platform/gst/encoder_delay.h"

#include <string>

#include "platform/gst/element_maker.h"
#include "platform/gst/running_time.h"

namespace gst {

namespace {

// libav's Windows Media Audio frame, as its encoder sizes it by the rate.
int WmaFrameLength(int version, int rate) {
  if (rate <= 16000) return 512;
  if (rate <= 22050 || (version == 1 && rate <= 32000)) return 1024;
  return 2048;
}

struct Delaying {
  std::string factory;
  int rate = 0;
};

GstPadProbeReturn OnEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& state = *static_cast<Delaying*>(data);
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
    GstCaps* caps = nullptr;
    gst_event_parse_caps(event, &caps);
    const GstStructure* format = caps ? gst_caps_get_structure(caps, 0) : nullptr;
    if (!format || !gst_structure_get_int(format, "rate", &state.rate)) state.rate = 0;
    return GST_PAD_PROBE_OK;
  }
  const int samples = EncoderDelaySamples(state.factory, state.rate);
  if (GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT || samples <= 0) return GST_PAD_PROBE_OK;
  const GstSegment* given = nullptr;
  gst_event_parse_segment(event, &given);
  if (given->format != GST_FORMAT_TIME || given->rate <= 0) return GST_PAD_PROBE_OK;
  GstSegment moved;
  gst_segment_copy_into(given, &moved);
  moved.start += gst_util_uint64_scale_int(samples, GST_SECOND, state.rate);
  if (GST_CLOCK_TIME_IS_VALID(moved.stop) && moved.stop < moved.start) moved.stop = moved.start;
  moved.position = moved.start;
  ReplaceSegment(info, moved);
  return GST_PAD_PROBE_OK;
}

}  // namespace

int EncoderDelaySamples(std::string_view factory, int rate) {
  if (rate <= 0) return 0;
  if (factory == "avenc_wmav1") return WmaFrameLength(1, rate);
  if (factory == "avenc_wmav2") return WmaFrameLength(2, rate);
  // LAME's own 576 and the 529 of every layer III decoder.
  if (factory == "lamemp3enc") return 1105;
  if (factory == "avenc_aac") return 1024;
  if (factory == "voaacenc") return 1600;
  if (factory == "avenc_mp2" || factory == "avenc_mp2fixed" || factory == "twolamemp2enc")
    return 481;
  if (factory == "avenc_ac3" || factory == "avenc_ac3_fixed") return 256;
  return 0;
}

std::optional<PadProbe> StartAfterEncoderDelay(GstElement* encoder) {
  const std::string_view factory = FactoryNameOf(encoder);
  // Any rate tells whether the encoder has a delay at all.
  if (EncoderDelaySamples(factory, 48000) == 0) return std::nullopt;
  PadPtr input(gst_element_get_static_pad(encoder, "sink"));
  if (!input) return std::nullopt;
  return PadProbe(input.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &OnEvent,
                  new Delaying{std::string(factory), 0},
                  [](gpointer data) { delete static_cast<Delaying*>(data); });
}

}  // namespace gst
