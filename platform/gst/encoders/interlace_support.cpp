#include "platform/gst/encoders/interlace_support.h"

#include <gst/video/video.h>

#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/gst/gst_handle.h"

namespace gst {

namespace {

// A common size every size-restricted encoder of moving pictures takes
// (H.263 takes five sizes; this is one).
constexpr int kTrialWidth = 352;
constexpr int kTrialHeight = 288;

// Raw caps the encoder's template allows at the trial size and rate.
CapsPtr TrialCaps(GstElement* encoder, bool interlaced) {
  PadPtr sink(gst_element_get_static_pad(encoder, "sink"));
  if (!sink) return {};
  const CapsPtr allowed(gst_pad_query_caps(sink.get(), nullptr));
  CapsPtr wanted(gst_caps_new_simple(
      "video/x-raw", "width", G_TYPE_INT, kTrialWidth, "height", G_TYPE_INT, kTrialHeight,
      "framerate", GST_TYPE_FRACTION, 25, 1, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1,
      "interlace-mode", G_TYPE_STRING, interlaced ? "interleaved" : "progressive", nullptr));
  if (interlaced)
    gst_caps_set_simple(wanted.get(), "field-order", G_TYPE_STRING, "top-field-first", nullptr);
  CapsPtr caps(gst_caps_intersect(wanted.get(), allowed.get()));
  if (gst_caps_is_empty(caps.get())) return {};
  return CapsPtr(gst_caps_fixate(caps.release()));
}

// Whether a fresh encoder of the factory takes the caps and one black
// picture in them.
bool Opens(GstElementFactory* factory, bool interlaced) {
  ElementPtr pipeline(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("interlace-trial"))));
  ElementPtr encoder(gst_element_factory_create(factory, nullptr));
  ElementPtr sink(gst_element_factory_make("fakesink", nullptr));
  if (!encoder || !sink) return false;
  gst_object_ref_sink(encoder.get());
  gst_object_ref_sink(sink.get());
  // A sink that never waits: the picture is handed over on this thread.
  g_object_set(sink.get(), "sync", FALSE, "async", FALSE, nullptr);
  gst_bin_add_many(GST_BIN(pipeline.get()), encoder.get(), sink.get(), nullptr);
  const CapsPtr caps = TrialCaps(encoder.get(), interlaced);
  GstVideoInfo info;
  bool opened =
      caps && gst_video_info_from_caps(&info, caps.get()) &&
      gst_element_link(encoder.get(), sink.get()) &&
      gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
  if (opened) {
    PadPtr input(gst_element_get_static_pad(encoder.get(), "sink"));
    GstSegment segment;
    gst_segment_init(&segment, GST_FORMAT_TIME);
    opened = gst_pad_send_event(input.get(), gst_event_new_stream_start("interlace-trial")) &&
             gst_pad_send_event(input.get(), gst_event_new_caps(caps.get())) &&
             gst_pad_send_event(input.get(), gst_event_new_segment(&segment));
    if (opened) {
      GstBuffer* picture = gst_buffer_new_allocate(nullptr, GST_VIDEO_INFO_SIZE(&info), nullptr);
      gst_buffer_memset(picture, 0, 0, GST_VIDEO_INFO_SIZE(&info));
      GST_BUFFER_PTS(picture) = 0;
      GST_BUFFER_DURATION(picture) = GST_SECOND / 25;
      if (interlaced)
        GST_BUFFER_FLAG_SET(picture, GST_VIDEO_BUFFER_FLAG_INTERLACED | GST_VIDEO_BUFFER_FLAG_TFF);
      opened = gst_pad_chain(input.get(), picture) == GST_FLOW_OK;
    }
  }
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  return opened;
}

}  // namespace

bool RefusesInterlacedInput(GstElementFactory* factory) {
  if (!factory) return false;
  const std::string name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
  static std::mutex mutex;
  static std::map<std::string, bool> known;
  {
    std::lock_guard lock(mutex);
    if (const auto found = known.find(name); found != known.end()) return found->second;
  }
  const bool refuses = Opens(factory, false) && !Opens(factory, true);
  std::lock_guard lock(mutex);
  known.emplace(name, refuses);
  return refuses;
}

bool IsProgressive(GstCaps* caps) {
  if (!caps || gst_caps_get_size(caps) == 0) return false;
  const gchar* mode = gst_structure_get_string(gst_caps_get_structure(caps, 0), "interlace-mode");
  return !mode || std::string_view(mode) == "progressive";
}

}  // namespace gst
