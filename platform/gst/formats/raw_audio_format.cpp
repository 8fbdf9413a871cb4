#include "platform/gst/formats/raw_audio_format.h"

#include <gst/audio/audio.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/gst/gst_handle.h"

namespace gst {

namespace {

struct Span {
  int low;
  int high;
};

// The values one field allows; nullopt when it allows any.
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

// The values of `field` that `sink` takes; none when it takes any (or the
// source's value is not known, which leaves nothing to choose).
std::optional<std::vector<Span>> SpansTaken(GstPad* sink, const char* field, int source) {
  if (!sink || source <= 0) return std::nullopt;
  const CapsPtr caps(gst_pad_query_caps(sink, nullptr));
  if (!caps || gst_caps_is_any(caps.get()) || gst_caps_is_empty(caps.get())) return std::nullopt;
  std::vector<Span> taken;
  for (guint i = 0; i < gst_caps_get_size(caps.get()); ++i) {
    const auto spans =
        SpansOf(gst_structure_get_value(gst_caps_get_structure(caps.get(), i), field));
    if (!spans) return std::nullopt;
    taken.insert(taken.end(), spans->begin(), spans->end());
  }
  return taken;
}

GstPadProbeReturn OnCaps(GstPad*, GstPadProbeInfo* info, gpointer) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) != GST_EVENT_CAPS) return GST_PAD_PROBE_OK;
  GstCaps* caps = nullptr;
  gst_event_parse_caps(event, &caps);
  if (const CapsPtr placed = WithUsualPlaces(caps)) {
    GST_PAD_PROBE_INFO_DATA(info) = gst_event_new_caps(placed.get());
    gst_event_unref(event);
  }
  return GST_PAD_PROBE_OK;
}

}  // namespace

int RawSoundRate(GstPad* sink, int source) {
  const auto taken = SpansTaken(sink, "rate", source);
  if (!taken) return source;
  int nearest = 0;
  for (const Span& span : *taken) {
    if (span.low <= source && source <= span.high) return source;
    const int candidate = source < span.low ? span.low : span.high;
    const int distance = std::abs(candidate - source);
    const int best = std::abs(nearest - source);
    if (nearest == 0 || distance < best || (distance == best && candidate > nearest))
      nearest = candidate;
  }
  return nearest;
}

int RawSoundChannels(GstPad* sink, int source) {
  const auto taken = SpansTaken(sink, "channels", source);
  if (!taken) return source;
  int below = 0;
  int above = 0;
  for (const Span& span : *taken) {
    if (span.low <= source && source <= span.high) return source;
    if (span.low <= source) below = std::max(below, span.high);
    if (span.low > source) above = above == 0 ? span.low : std::min(above, span.low);
  }
  return below > 0 ? below : above;
}

CapsPtr WithUsualPlaces(GstCaps* caps) {
  if (!caps || gst_caps_get_size(caps) == 0) return {};
  const GstStructure* sound = gst_caps_get_structure(caps, 0);
  int channels = 0;
  if (!gst_structure_has_name(sound, "audio/x-raw") ||
      !gst_structure_get_int(sound, "channels", &channels) || channels <= 2)
    return {};
  guint64 mask = 0;
  if (gst_structure_get(sound, "channel-mask", GST_TYPE_BITMASK, &mask, nullptr) && mask != 0)
    return {};
  const guint64 usual = gst_audio_channel_get_fallback_mask(channels);
  if (usual == 0) return {};
  CapsPtr placed(gst_caps_copy(caps));
  gst_caps_set_simple(placed.get(), "channel-mask", GST_TYPE_BITMASK, usual, nullptr);
  return placed;
}

PadProbe PlaceUnplacedChannels(GstPad* pad) {
  return PadProbe(pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &OnCaps, nullptr, nullptr);
}

}  // namespace gst
