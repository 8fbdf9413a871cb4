#include "platform/dshow/parsed_video.h"

#include "platform/dshow/decoder_lookup.h"
#include "platform/gst/gst_handle.h"

namespace dshow {

namespace {

// Parsers mark what they have parsed; the decoder's output tells no more
// about the frame's size and rate than this.
bool KnownFromParser(GstCaps* caps) {
  if (!caps || gst_caps_get_size(caps) != 1) return false;
  const GstStructure* structure = gst_caps_get_structure(caps, 0);
  const gchar* name = gst_structure_get_name(structure);
  if (!g_str_has_prefix(name, "video/") || gst_structure_has_name(structure, "video/x-raw"))
    return false;
  gboolean parsed = FALSE;
  gint width = 0;
  gint height = 0;
  return gst_structure_get_boolean(structure, "parsed", &parsed) && parsed &&
         gst_structure_get_int(structure, "width", &width) && width > 0 &&
         gst_structure_get_int(structure, "height", &height) && height > 0 &&
         DecoderFor(caps, StreamKind::Video).has_value();
}

// On the streaming thread that found the stream: false exposes it as it is.
gboolean OnAutoplugContinue(GstElement*, GstPad*, GstCaps* caps, gpointer) {
  return KnownFromParser(caps) ? FALSE : TRUE;
}

void OnSourceSetup(GstDiscoverer*, GstElement* source, gpointer) {
  // The source's bin is the discoverer's uridecodebin; each discoverer here
  // reads one address, so the handler is connected once.
  const gst::ElementPtr bin(GST_ELEMENT_CAST(gst_object_get_parent(GST_OBJECT_CAST(source))));
  if (bin && g_signal_lookup("autoplug-continue", G_OBJECT_TYPE(bin.get())) != 0)
    g_signal_connect(bin.get(), "autoplug-continue", G_CALLBACK(&OnAutoplugContinue), nullptr);
}

}  // namespace

void LearnVideoFromItsParser(GstDiscoverer* discoverer) {
  g_signal_connect(discoverer, "source-setup", G_CALLBACK(&OnSourceSetup), nullptr);
}

}  // namespace dshow
