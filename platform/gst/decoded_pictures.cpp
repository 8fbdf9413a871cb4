#include "platform/gst/decoded_pictures.h"

namespace gst {

namespace {

constexpr const char* kLending = "direct-rendering";

void OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer) {
  GParamSpec* param = g_object_class_find_property(G_OBJECT_GET_CLASS(element), kLending);
  if (param && (param->flags & G_PARAM_WRITABLE) && G_IS_PARAM_SPEC_BOOLEAN(param))
    g_object_set(element, kLending, FALSE, nullptr);
}

}  // namespace

void CopyDecodedPictures(GstElement* decodebin) {
  if (decodebin && GST_IS_BIN(decodebin))
    g_signal_connect(decodebin, "deep-element-added", G_CALLBACK(&OnElementAdded), nullptr);
}

}  // namespace gst
