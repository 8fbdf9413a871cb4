#include "platform/dshow/frame_time_scan.h"

#include <algorithm>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/gst/gst_handle.h"
#include "platform/threads/thread_order.h"

namespace dshow {

namespace {

GstElement* Owned(GstElement* floating) {
  return floating ? GST_ELEMENT(gst_object_ref_sink(floating)) : nullptr;
}

class FrameTimeScan {
 public:
  FrameTimeScan(std::string streamId, int videoIndex)
      : streamId_(std::move(streamId)), videoIndex_(videoIndex) {}

  std::optional<double> Run(const std::string& uri) {
    GError* uriError = nullptr;
    const gst::ElementPtr source(
        Owned(gst_element_make_from_uri(GST_URI_SRC, uri.c_str(), nullptr, &uriError)));
    const gst::ErrorPtr uriErrorOwner(uriError);
    const gst::ElementPtr parser(Owned(gst_element_factory_make("parsebin", nullptr)));
    if (!source || !parser) return std::nullopt;
    pipeline_ = gst::ElementPtr(Owned(gst_pipeline_new("frame-times")));
    gst_bin_add_many(GST_BIN(pipeline_.get()), source.get(), parser.get(), nullptr);
    gst_element_link(source.get(), parser.get());
    g_signal_connect(parser.get(), "pad-added", G_CALLBACK(&FrameTimeScan::OnPadAdded), this);

    threads::ReleaseState(this);  // for the callbacks on the streaming threads
    gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
    const gst::BusPtr bus(gst_element_get_bus(pipeline_.get()));
    const gst::MessagePtr end(
        gst_bus_timed_pop_filtered(bus.get(), kFrameTimeScanMilliseconds * GST_MSECOND,
                                   static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR |
                                                               GST_MESSAGE_APPLICATION)));
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    threads::AcquireState(this);  // what the callbacks left
    return Average();
  }

 private:
  static void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
    const threads::StateVisit shown(data);
    static_cast<FrameTimeScan*>(data)->Attach(pad);
  }

  // Every stream goes to a sink that discards it; the wanted one is timed.
  void Attach(GstPad* pad) {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (!sink) return;
    g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
    gst_bin_add(GST_BIN(pipeline_.get()), sink);
    gst_element_sync_state_with_parent(sink);
    const gst::PadPtr input(gst_element_get_static_pad(sink, "sink"));
    if (IsWanted(pad))
      gst_pad_add_probe(input.get(), GST_PAD_PROBE_TYPE_BUFFER, &FrameTimeScan::OnFrame, this,
                        nullptr);
    gst_pad_link(pad, input.get());
  }

  bool IsWanted(GstPad* pad) {
    gst::CapsPtr caps(gst_pad_get_current_caps(pad));
    if (!caps) caps = gst::CapsPtr(gst_pad_query_caps(pad, nullptr));
    if (!caps || gst_caps_is_empty(caps.get()) || gst_caps_is_any(caps.get())) return false;
    const std::string_view name = gst_structure_get_name(gst_caps_get_structure(caps.get(), 0));
    if (!name.starts_with("video/")) return false;
    const gst::CharPtr id(gst_pad_get_stream_id(pad));
    std::lock_guard lock(mutex_);
    const int index = videosSeen_++;
    if (!streamId_.empty() && id) return streamId_ == id.get();
    return index == videoIndex_;
  }

  static GstPadProbeReturn OnFrame(GstPad*, GstPadProbeInfo* info, gpointer data) {
    const threads::StateVisit shown(data);
    auto& self = *static_cast<FrameTimeScan*>(data);
    GstBuffer* frame = GST_PAD_PROBE_INFO_BUFFER(info);
    GstClockTime time = GST_BUFFER_PTS(frame);
    if (!GST_CLOCK_TIME_IS_VALID(time)) time = GST_BUFFER_DTS(frame);
    if (!GST_CLOCK_TIME_IS_VALID(time)) return GST_PAD_PROBE_OK;
    bool enough = false;
    {
      std::lock_guard lock(self.mutex_);
      if (self.times_.size() < kFrameTimeScanFrames) self.times_.push_back(time);
      enough = self.times_.size() == kFrameTimeScanFrames;
    }
    if (!enough) return GST_PAD_PROBE_OK;
    GstElement* pipeline = self.pipeline_.get();
    gst_element_post_message(
        pipeline,
        gst_message_new_application(GST_OBJECT(pipeline), gst_structure_new_empty("enough")));
    return GST_PAD_PROBE_REMOVE;
  }

  // Display times may come in decoding order: the span is that of the
  // earliest and the latest frame.
  std::optional<double> Average() {
    std::lock_guard lock(mutex_);
    if (times_.size() < 2) return std::nullopt;
    const auto [first, last] = std::minmax_element(times_.begin(), times_.end());
    if (*last == *first) return std::nullopt;
    return static_cast<double>(*last - *first) / GST_SECOND /
           static_cast<double>(times_.size() - 1);
  }

  std::string streamId_;
  int videoIndex_;
  gst::ElementPtr pipeline_;
  std::mutex mutex_;  // guards what follows
  int videosSeen_ = 0;
  std::vector<GstClockTime> times_;
};

}  // namespace

std::optional<double> MeasureFrameTime(const std::string& uri, const std::string& streamId,
                                       int videoIndex) {
  return FrameTimeScan(streamId, videoIndex).Run(uri);
}

}  // namespace dshow
