#include "platform/gst/encoder_threads.h"

namespace gst {

void PreferAutomaticThreads(GstElement* encoder) {
  if (!encoder) return;
  GParamSpec* param = g_object_class_find_property(G_OBJECT_GET_CLASS(encoder), "threads");
  if (!param || !(param->flags & G_PARAM_WRITABLE) || !G_IS_PARAM_SPEC_ENUM(param)) return;
  // 0 is the libav value for "autodetect a suitable number of threads".
  GEnumValue* automatic = g_enum_get_value(G_PARAM_SPEC_ENUM(param)->enum_class, 0);
  if (automatic) g_object_set(encoder, "threads", 0, nullptr);
}

}  // namespace gst
