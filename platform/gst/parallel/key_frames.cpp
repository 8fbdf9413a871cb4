#include "platform/gst/parallel/key_frames.h"

#include <chrono>
#include <mutex>
#include <string_view>

#include "platform/gst/element_maker.h"
#include "platform/threads/thread_order.h"

namespace gst {

namespace {

// A parsed file prerolls in a few milliseconds; a source that takes longer
// is not one to cut.
constexpr GstClockTime kPrerollLimit = 10 * GST_SECOND;

std::mutex linking;  // the picture's sink, as the parser's thread sets it

}  // namespace

std::unique_ptr<KeyFrames> KeyFrames::Open(const std::string& path) {
  std::unique_ptr<KeyFrames> frames(new KeyFrames);
  frames->pipeline_ = ElementPtr(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("key-frames"))));
  Result<ElementPtr> source = MakeElement("filesrc");
  Result<ElementPtr> parser = MakeElement("parsebin");
  if (!source || !parser) return nullptr;
  g_object_set(source->get(), "location", path.c_str(), nullptr);
  gst_bin_add_many(GST_BIN(frames->pipeline_.get()), source->get(), parser->get(), nullptr);
  if (!gst_element_link(source->get(), parser->get())) return nullptr;
  g_signal_connect(parser->get(), "pad-added", G_CALLBACK(&KeyFrames::OnPadAdded), frames.get());
  threads::ReleaseState(frames.get());
  if (gst_element_set_state(frames->pipeline_.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
    return nullptr;
  // The parser's streams appear as it reads; the pipeline prerolls once
  // the picture's has its sink.
  {
    std::unique_lock lock(linking);
    if (!frames->exposed_.wait_for(lock, std::chrono::nanoseconds(kPrerollLimit),
                                   [&] { return static_cast<bool>(frames->picture_); }))
      return nullptr;
  }
  if (gst_element_get_state(frames->pipeline_.get(), nullptr, nullptr, kPrerollLimit) !=
      GST_STATE_CHANGE_SUCCESS)
    return nullptr;
  threads::AcquireState(frames.get());
  return frames;
}

KeyFrames::~KeyFrames() {
  if (pipeline_) gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
}

void KeyFrames::OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
  const threads::StateVisit shown(data);
  auto& self = *static_cast<KeyFrames*>(data);
  CapsPtr caps(gst_pad_get_current_caps(pad));
  if (!caps) caps = CapsPtr(gst_pad_query_caps(pad, nullptr));
  const bool picture =
      caps && !gst_caps_is_empty(caps.get()) &&
      std::string_view(gst_structure_get_name(gst_caps_get_structure(caps.get(), 0)))
          .starts_with("video/");
  {
    std::lock_guard lock(linking);
    if (!picture || self.picture_) return;
  }
  // Only the picture is read: the demuxer goes on while one stream is
  // linked, and a sink for each would wait for the others to preroll.
  GstElement* made = gst_element_factory_make("fakesink", nullptr);
  if (!made) return;
  gst_bin_add(GST_BIN(self.pipeline_.get()), made);
  gst_element_sync_state_with_parent(made);
  const PadPtr sink(gst_element_get_static_pad(made, "sink"));
  if (GST_PAD_LINK_FAILED(gst_pad_link(pad, sink.get()))) return;
  std::lock_guard lock(linking);
  gst_structure_get_int(gst_caps_get_structure(caps.get(), 0), "width", &self.width_);
  gst_structure_get_int(gst_caps_get_structure(caps.get(), 0), "height", &self.height_);
  self.picture_ = Borrow(made);
  self.exposed_.notify_all();
}

std::optional<GstClockTime> KeyFrames::From(GstClockTime time) {
  const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT |
                                               GST_SEEK_FLAG_SNAP_AFTER);
  if (!gst_element_seek(pipeline_.get(), 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                        static_cast<gint64>(time), GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE))
    return std::nullopt;
  if (gst_element_get_state(pipeline_.get(), nullptr, nullptr, kPrerollLimit) !=
      GST_STATE_CHANGE_SUCCESS)
    return std::nullopt;
  // Past the last key frame, demuxers go back to it.
  const std::optional<GstClockTime> key = Prerolled();
  if (!key || *key < time) return std::nullopt;
  return key;
}

std::optional<GstClockTime> KeyFrames::Prerolled() {
  GstSample* raw = nullptr;
  g_object_get(picture_.get(), "last-sample", &raw, nullptr);
  if (!raw) return std::nullopt;  // the end: no key frame follows
  const SamplePtr sample(raw);
  const GstBuffer* buffer = gst_sample_get_buffer(sample.get());
  const GstSegment* segment = gst_sample_get_segment(sample.get());
  if (!buffer || !segment || !GST_BUFFER_PTS_IS_VALID(buffer)) return std::nullopt;
  const GstClockTime at =
      gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
  if (!GST_CLOCK_TIME_IS_VALID(at)) return std::nullopt;
  return at;
}

}  // namespace gst
