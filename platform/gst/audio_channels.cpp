#include "platform/gst/audio_channels.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/gst/gst_handle.h"

namespace gst {

namespace {

struct Span {
  int low;
  int high;
};

// The counts one "channels" field allows; nullopt when it allows any.
std::optional<std::vector<Span>> SpansOf(const GValue* value) {
  if (!value) return std::nullopt;
  if (G_VALUE_HOLDS_INT(value)) {
    const int count = g_value_get_int(value);
    return std::vector<Span>{{count, count}};
  }
  if (GST_VALUE_HOLDS_INT_RANGE(value))
    return std::vector<Span>{
        {gst_value_get_int_range_min(value), gst_value_get_int_range_max(value)}};
  if (GST_VALUE_HOLDS_LIST(value)) {
    std::vector<Span> spans;
    for (guint i = 0; i < gst_value_list_get_size(value); ++i) {
      const auto inner = SpansOf(gst_value_list_get_value(value, i));
      if (!inner) return std::nullopt;
      spans.insert(spans.end(), inner->begin(), inner->end());
    }
    return spans;
  }
  return std::nullopt;
}

}  // namespace

int ChannelsFor(GstPad* sink, int sourceChannels) {
  if (!sink || sourceChannels <= 0) return 0;
  const CapsPtr caps(gst_pad_query_caps(sink, nullptr));
  if (!caps || gst_caps_is_any(caps.get()) || gst_caps_is_empty(caps.get())) return 0;
  std::vector<Span> taken;
  for (guint i = 0; i < gst_caps_get_size(caps.get()); ++i) {
    const auto spans =
        SpansOf(gst_structure_get_value(gst_caps_get_structure(caps.get(), i), "channels"));
    if (!spans) return 0;
    taken.insert(taken.end(), spans->begin(), spans->end());
  }
  int below = 0;
  int above = 0;
  for (const Span& span : taken) {
    if (span.low <= sourceChannels && sourceChannels <= span.high) return 0;
    if (span.low <= sourceChannels) below = std::max(below, span.high);
    if (span.low > sourceChannels) above = above == 0 ? span.low : std::min(above, span.low);
  }
  return below > 0 ? below : above;
}

}  // namespace gst
