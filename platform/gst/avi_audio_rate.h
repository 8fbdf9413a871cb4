#pragma once
// GStreamer's AVI writer states the time base of a Windows Media Audio
// stream as whole blocks a second: its byte rate over its block size, cut
// to an integer. At 48 kHz a block of 2048 samples lasts 1/23.4375 s, and
// the header said 1/23: readers that time each block by it let the sound
// run 1.9 % slow against the picture, 45 ms by 3.5 s and 11 s in ten
// minutes. The header is mended as the writer writes it, at the start and
// again at the end: each such stream's time base becomes a block's samples
// over the sample rate, as ffmpeg writes it, and its length the blocks it
// carried.

#include <gst/gst.h>

#include <memory>

#include "platform/gst/pad_probe.h"

namespace gst {

class AviAudioRate {
 public:
  // Starts mending the output of `muxer` if it is GStreamer's AVI writer;
  // none for any other muxer.
  static std::unique_ptr<AviAudioRate> For(GstElement* muxer);

 private:
  explicit AviAudioRate(GstPad* output);
  PadProbe probe_;
};

}  // namespace gst
