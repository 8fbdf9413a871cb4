#pragma once
// The libav encoders built on FFmpeg's MPEG-video core (Windows Media Video
// 7 and 8, MS-MPEG-4, MPEG-4 part 2, H.263, MPEG-1/2) ignore their bitrate
// under GStreamer 1.22: their rate control drives the quantizer to its
// maximum whatever bitrate is asked, and the constant-quantizer mode ignores
// its quantizer. A fixed quantizer range (qmin = qmax) does work.
//
// So a branch that must reach a bitrate holds its first frames (one second,
// at most 25) in a queue, encodes them in side pipelines at three fixed
// quantizers while they arrive, and gives the encoder the quantizer that
// meets the bitrate (quantizer_estimate.h) before it sees its first frame.
// The estimate rests on the opening second; sources whose complexity
// changes a lot later land further from the target.

#include <gst/gst.h>

#include <cstdint>
#include <memory>

namespace gst {

bool NeedsQuantizerCalibration(GstElement* encoder);

class QuantizerCalibration {
 public:
  // `raw` is the source pad whose frames go through `hold` (a queue able to
  // hold them all) into `encoder`. Nothing reaches the encoder until the
  // quantizer is set. Installs nothing and gives null when the encoder needs
  // no calibration or the side encoders cannot be made.
  static std::unique_ptr<QuantizerCalibration> Install(GstPad* raw, GstElement* hold,
                                                       GstElement* encoder,
                                                       std::uint32_t targetBitrate);
  ~QuantizerCalibration();
  QuantizerCalibration(const QuantizerCalibration&) = delete;
  QuantizerCalibration& operator=(const QuantizerCalibration&) = delete;

  // The most frames the hold queue must take.
  static constexpr int kMaxFrames = 25;

  class Impl;

 private:
  explicit QuantizerCalibration(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace gst
