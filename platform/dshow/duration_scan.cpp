#include "platform/dshow/duration_scan.h"

#include <algorithm>
#include <mutex>

#include "platform/dshow/parsed_streams_scan.h"

namespace dshow {

namespace {

class DurationScan : public ParsedStreamsScan {
 public:
  std::optional<GstClockTime> Measure(const std::string& uri) {
    if (Run(uri, std::chrono::seconds{kDurationScanSeconds}) != Ending::EndOfFile)
      return std::nullopt;
    std::lock_guard lock(mutex_);
    if (first_ == GST_CLOCK_TIME_NONE || last_ <= first_) return std::nullopt;
    return last_ - first_;
  }

 private:
  bool Watches(GstPad*) override { return true; }

  bool Take(GstBuffer* buffer) override {
    GstClockTime start = GST_BUFFER_PTS(buffer);
    if (!GST_CLOCK_TIME_IS_VALID(start)) start = GST_BUFFER_DTS(buffer);
    if (!GST_CLOCK_TIME_IS_VALID(start)) return false;
    const GstClockTime end =
        start + (GST_BUFFER_DURATION_IS_VALID(buffer) ? GST_BUFFER_DURATION(buffer) : 0);
    std::lock_guard lock(mutex_);
    first_ = first_ == GST_CLOCK_TIME_NONE ? start : std::min(first_, start);
    last_ = std::max(last_, end);
    return false;
  }

  std::mutex mutex_;  // guards what follows
  GstClockTime first_ = GST_CLOCK_TIME_NONE;
  GstClockTime last_ = 0;
};

}  // namespace

std::optional<GstClockTime> MeasureDuration(const std::string& uri) {
  return DurationScan().Measure(uri);
}

}  // namespace dshow
