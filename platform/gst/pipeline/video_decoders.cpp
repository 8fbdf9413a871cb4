#include "platform/gst/pipeline/video_decoders.h"

#include <string_view>

#include "platform/gst/element_maker.h"
#include "platform/gst/gst_handle.h"

namespace gst {

namespace {

constexpr const char* kLending = "direct-rendering";
constexpr const char* kThreads = "max-threads";

// 1080p at 30 frames a second, in the coded height of its macroblocks.
constexpr double kOneThreadPixelsPerSecond = 1920.0 * 1088.0 * 30.0;
// The rate assumed for a stream that declares none.
constexpr double kAssumedFramesPerSecond = 30.0;

bool IsWritable(GObject* object, const char* name, GType type) {
  GParamSpec* param = g_object_class_find_property(G_OBJECT_GET_CLASS(object), name);
  return param && (param->flags & G_PARAM_WRITABLE) && G_PARAM_SPEC_VALUE_TYPE(param) == type;
}

// libav reads its threads when it opens the codec for the caps the decoder
// is given, so they are chosen as those caps go in, each time anew.
GstPadProbeReturn ChooseThreads(GstPad* pad, GstPadProbeInfo* info, gpointer) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) != GST_EVENT_CAPS) return GST_PAD_PROBE_OK;
  GstCaps* caps = nullptr;
  gst_event_parse_caps(event, &caps);
  const GstStructure* picture = caps ? gst_caps_get_structure(caps, 0) : nullptr;
  int width = 0;
  int height = 0;
  if (!picture || !gst_structure_get_int(picture, "width", &width) ||
      !gst_structure_get_int(picture, "height", &height))
    return GST_PAD_PROBE_OK;
  int numerator = 0;
  int denominator = 1;
  double rate = 0;
  if (gst_structure_get_fraction(picture, "framerate", &numerator, &denominator) && denominator > 0)
    rate = static_cast<double>(numerator) / denominator;
  const ElementPtr decoder(gst_pad_get_parent_element(pad));
  if (decoder)
    g_object_set(decoder.get(), kThreads, DecoderThreadsFor(width, height, rate), nullptr);
  return GST_PAD_PROBE_OK;
}

void WatchPicturesGoingIn(GstElement* decoder) {
  const PadPtr input(gst_element_get_static_pad(decoder, "sink"));
  if (input)
    gst_pad_add_probe(input.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &ChooseThreads, nullptr,
                      nullptr);
}

bool IsVideoDecoder(GstElement* element) {
  const std::string_view kind = KlassOf(element);
  return kind.find("Decoder") != std::string_view::npos &&
         kind.find("Video") != std::string_view::npos;
}

void OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer) {
  GObject* object = G_OBJECT(element);
  if (IsWritable(object, kLending, G_TYPE_BOOLEAN)) g_object_set(object, kLending, FALSE, nullptr);
  if (IsWritable(object, kThreads, G_TYPE_INT) && IsVideoDecoder(element))
    WatchPicturesGoingIn(element);
}

}  // namespace

void SetUpVideoDecoders(GstElement* decodebin) {
  if (decodebin && GST_IS_BIN(decodebin))
    g_signal_connect(decodebin, "deep-element-added", G_CALLBACK(&OnElementAdded), nullptr);
}

int DecoderThreadsFor(int width, int height, double framesPerSecond) {
  if (width <= 0 || height <= 0) return 0;
  const double rate = framesPerSecond > 0 ? framesPerSecond : kAssumedFramesPerSecond;
  return static_cast<double>(width) * height * rate <= kOneThreadPixelsPerSecond ? 1 : 0;
}

}  // namespace gst
