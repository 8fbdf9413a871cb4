#include "platform/gst/formats/raw_video_formats.h"

#include <string_view>

#include "platform/gst/gvalue.h"

namespace gst {

namespace {

bool Unreadable(const GValue* format) {
  return G_VALUE_HOLDS_STRING(format) && std::string_view(g_value_get_string(format)) == "AYUV";
}

}  // namespace

CapsPtr ReadableRawVideo(GstPad* muxerPad) {
  const CapsPtr taken(gst_pad_get_pad_template_caps(muxerPad));
  for (guint i = 0; i < gst_caps_get_size(taken.get()); ++i) {
    const GstStructure* structure = gst_caps_get_structure(taken.get(), i);
    if (!gst_structure_has_name(structure, "video/x-raw")) continue;
    const GValue* formats = gst_structure_get_value(structure, "format");
    if (!formats || !GST_VALUE_HOLDS_LIST(formats)) return {};
    Value readable(GST_TYPE_LIST);
    const guint count = gst_value_list_get_size(formats);
    for (guint j = 0; j < count; ++j)
      if (const GValue* format = gst_value_list_get_value(formats, j); !Unreadable(format))
        gst_value_list_append_value(readable.get(), format);
    const guint kept = gst_value_list_get_size(readable.get());
    if (kept == count || kept == 0) return {};
    CapsPtr caps(gst_caps_new_empty_simple("video/x-raw"));
    gst_caps_set_value(caps.get(), "format", readable.get());
    return caps;
  }
  return {};
}

}  // namespace gst
