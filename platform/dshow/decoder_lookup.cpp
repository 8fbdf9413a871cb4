#include "platform/dshow/decoder_lookup.h"

#include <memory>

namespace dshow {

namespace {

struct FeatureListFree {
  void operator()(GList* list) const { gst_plugin_feature_list_free(list); }
};
using FeatureList = std::unique_ptr<GList, FeatureListFree>;

}  // namespace

std::optional<std::string> DecoderFor(GstCaps* caps, StreamKind kind) {
  if (!caps || gst_caps_is_empty(caps)) return std::nullopt;
  const GstStructure* structure = gst_caps_get_structure(caps, 0);
  if (gst_structure_has_name(structure, "video/x-raw") ||
      gst_structure_has_name(structure, "audio/x-raw"))
    return std::string();
  const GstElementFactoryListType media =
      kind == StreamKind::Video
          ? GST_ELEMENT_FACTORY_TYPE_MEDIA_VIDEO | GST_ELEMENT_FACTORY_TYPE_MEDIA_IMAGE
          : GST_ELEMENT_FACTORY_TYPE_MEDIA_AUDIO;
  FeatureList decoders(gst_element_factory_list_get_elements(
      GST_ELEMENT_FACTORY_TYPE_DECODER | media, GST_RANK_MARGINAL));
  FeatureList accepting(gst_element_factory_list_filter(decoders.get(), caps, GST_PAD_SINK, FALSE));
  if (!accepting) return std::nullopt;
  GList* sorted = g_list_sort(accepting.release(), gst_plugin_feature_rank_compare_func);
  accepting.reset(sorted);
  auto* factory = GST_ELEMENT_FACTORY(sorted->data);
  const gchar* longName = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_LONGNAME);
  return std::string(longName ? longName : GST_OBJECT_NAME(factory));
}

}  // namespace dshow
