#include "platform/gst/encoders/libav_video_encoder.h"

#include <gst/video/video.h>

#include <string_view>

#include "platform/gst/element_maker.h"
#include "platform/gst/workarounds/element_trial.h"

namespace gst {

bool IsLibavVideoEncoder(GstElement* encoder) {
  return encoder && GST_IS_VIDEO_ENCODER(encoder) && FactoryNameOf(encoder).starts_with("avenc_");
}

bool LibavEncodersCountInNanoseconds() {
  for (const char* factory : {"avenc_mpeg4", "avenc_wmv2"}) {
    ElementTrial trial;
    GstElement* encoder = trial.Add(factory);
    if (!encoder || !trial.Play(encoder)) continue;
    const PadPtr input(gst_element_get_static_pad(encoder, "sink"));
    const CapsPtr caps(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", "width",
                                           G_TYPE_INT, 64, "height", G_TYPE_INT, 64, "framerate",
                                           GST_TYPE_FRACTION, 25, 1, "pixel-aspect-ratio",
                                           GST_TYPE_FRACTION, 1, 1, nullptr));
    if (!trial.Begin(input.get(), caps.get())) continue;
    GstVideoCodecState* state = gst_video_encoder_get_output_state(GST_VIDEO_ENCODER(encoder));
    if (!state) continue;
    gint num = 0;
    gint den = 0;
    const bool stated = state->caps &&
                        gst_structure_get_fraction(gst_caps_get_structure(state->caps, 0),
                                                   "framerate", &num, &den) &&
                        num == 25 && den == 1;
    gst_video_codec_state_unref(state);
    return stated;
  }
  return false;
}

CapsPtr RateControlCaps(GstElement* encoder, GstCaps* raw) {
  if (!raw || gst_caps_is_empty(raw) || gst_caps_is_any(raw)) return {};
  const GstStructure* in = gst_caps_get_structure(raw, 0);
  gint width = 0;
  gint height = 0;
  gint rateNum = 0;
  gint rateDen = 0;
  if (!gst_structure_get_int(in, "width", &width) ||
      !gst_structure_get_int(in, "height", &height) ||
      !gst_structure_get_fraction(in, "framerate", &rateNum, &rateDen) || width <= 0 ||
      height <= 0 || rateNum <= 0 || rateDen <= 0)
    return {};
  gint parNum = 1;
  gint parDen = 1;
  if (!gst_structure_get_fraction(in, "pixel-aspect-ratio", &parNum, &parDen) || parNum <= 0 ||
      parDen <= 0) {
    parNum = 1;
    parDen = 1;
  }

  // Starting from what may follow the encoder keeps every field that the
  // downstream elements add; fixing them all is what makes gst-libav read
  // the frame rate.
  PadPtr source(gst_element_get_static_pad(encoder, "src"));
  CapsPtr allowed(gst_pad_get_allowed_caps(source.get()));
  if (!allowed || gst_caps_is_empty(allowed.get())) return {};
  CapsPtr caps(gst_caps_copy_nth(allowed.get(), 0));
  gst_caps_set_simple(caps.get(), "width", G_TYPE_INT, width, "height", G_TYPE_INT, height,
                      "framerate", GST_TYPE_FRACTION, rateNum, rateDen, "pixel-aspect-ratio",
                      GST_TYPE_FRACTION, parNum, parDen, nullptr);
  return CapsPtr(gst_caps_fixate(caps.release()));
}

}  // namespace gst
