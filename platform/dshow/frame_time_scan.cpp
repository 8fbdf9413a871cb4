#include "platform/dshow/frame_time_scan.h"

#include <algorithm>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/dshow/parsed_streams_scan.h"

namespace dshow {

namespace {

class FrameTimeScan : public ParsedStreamsScan {
 public:
  FrameTimeScan(std::string streamId, int videoIndex)
      : streamId_(std::move(streamId)), videoIndex_(videoIndex) {}

  std::optional<double> Measure(const std::string& uri) {
    Run(uri, std::chrono::milliseconds{kFrameTimeScanMilliseconds});
    return Average();
  }

 private:
  // Only the wanted video stream is timed.
  bool Watches(GstPad* pad) override {
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

  bool Take(GstBuffer* frame) override {
    GstClockTime time = GST_BUFFER_PTS(frame);
    if (!GST_CLOCK_TIME_IS_VALID(time)) time = GST_BUFFER_DTS(frame);
    if (!GST_CLOCK_TIME_IS_VALID(time)) return false;
    std::lock_guard lock(mutex_);
    if (times_.size() < kFrameTimeScanFrames) times_.push_back(time);
    return times_.size() == kFrameTimeScanFrames;
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
  std::mutex mutex_;  // guards what follows
  int videosSeen_ = 0;
  std::vector<GstClockTime> times_;
};

}  // namespace

std::optional<double> MeasureFrameTime(const std::string& uri, const std::string& streamId,
                                       int videoIndex) {
  return FrameTimeScan(streamId, videoIndex).Measure(uri);
}

}  // namespace dshow
