#include "platform/dshow/stream_fit.h"

#include "platform/gst/element_maker.h"

namespace dshow {

gst::CapsPtr RawCaps(StreamKind kind) {
  return gst::CapsPtr(
      gst_caps_new_empty_simple(kind == StreamKind::Video ? "video/x-raw" : "audio/x-raw"));
}

gst::CapsPtr CarriedCaps(StreamKind kind, GstElement* encoder) {
  if (!encoder) return RawCaps(kind);
  const gst::PadPtr source(gst_element_get_static_pad(encoder, "src"));
  if (source) return gst::CapsPtr(gst_pad_get_pad_template_caps(source.get()));
  return gst::CapsPtr(gst_caps_new_empty());
}

bool TakesCaps(GstElement* element, GstCaps* caps) {
  if (!element || !caps) return false;
  for (const GList* item = gst_element_class_get_pad_template_list(GST_ELEMENT_GET_CLASS(element));
       item; item = item->next) {
    auto* padTemplate = static_cast<GstPadTemplate*>(item->data);
    if (GST_PAD_TEMPLATE_DIRECTION(padTemplate) != GST_PAD_SINK ||
        GST_PAD_TEMPLATE_PRESENCE(padTemplate) == GST_PAD_SOMETIMES)
      continue;
    const gst::CapsPtr accepted(gst_pad_template_get_caps(padTemplate));
    if (gst_caps_can_intersect(accepted.get(), caps)) return true;
  }
  return false;
}

bool WritesReadably(GstElement* multiplexer, GstCaps* caps) {
  // GStreamer's Matroska writer keeps no codec private data for RealVideo:
  // neither its own reader nor ffmpeg's can open the stream it writes.
  if (gst::FactoryNameOf(multiplexer) != "matroskamux") return true;
  const gst::CapsPtr realVideo(gst_caps_new_empty_simple("video/x-pn-realvideo"));
  return !gst_caps_is_subset(caps, realVideo.get());
}

}  // namespace dshow
