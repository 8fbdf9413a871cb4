#pragma once
// GStreamer's AVI writer states the time base of a Windows Media Audio
// stream as whole blocks a second: its byte rate over its block size, cut
// to an integer. At 48 kHz a block of 2048 samples lasts 1/23.4375 s, and
// the header says 1/23: readers that time each block by it let the sound
// run 1.9 % slow against the picture, 45 ms by 3.5 s and 11 s in ten
// minutes. GStreamer 1.22 and 1.26 have it. The header is mended as the
// writer writes it, at the start and again at the end: each such stream's
// time base becomes a block's samples over the sample rate, as ffmpeg
// writes it, and its length the blocks it carried.
// Registry name "avi-wma-time-base"; canary Canary.AviWmaTimeBase.

#include <gst/gst.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/gst/pad_probe.h"

namespace gst {

// Whether GStreamer's AVI writer states a Windows Media Audio stream's time
// base otherwise than a block's samples over the sample rate; false when
// there is no such writer.
bool AviWriterRoundsWmaBlockRate();

// The bytes each stream's sound chunks ("NNwb", by the stream's number
// NN) carry in an AVI file, walked chunk by chunk as its writer writes it.
class AviSoundCarried {
 public:
  // Whether the walk reads any of `size` bytes written at `position`: a
  // chunk's header lies in them.
  bool Reads(std::uint64_t position, std::uint64_t size) const;
  // Takes `size` bytes written at `position`; `bytes` are them where the
  // walk reads them, and may be empty elsewhere. What rewrites bytes
  // written before is not walked again.
  void Take(std::uint64_t position, std::uint64_t size, std::span<const std::uint8_t> bytes);
  const std::array<std::uint64_t, 100>& carried() const { return carried_; }

 private:
  std::uint64_t walked_ = 0;  // how far the walk has come
  std::uint64_t next_ = 0;    // where the next chunk's header starts
  std::array<std::uint8_t, 8> head_{};
  std::size_t held_ = 0;  // bytes of that header taken so far
  std::array<std::uint64_t, 100> carried_{};
};

// Mends the Windows Media Audio streams of an AVI header (the writer's
// "RIFF" ... "hdrl" at the start of its file) in place, with the bytes
// each stream carried (0 keeps its length); leaves every other stream, and
// any header it cannot read whole, as it is. True when a time base it
// mended differed from the writer's.
bool MendWindowsMediaAudioRates(std::span<std::uint8_t> header,
                                const std::array<std::uint64_t, 100>& carried);

class AviAudioRate {
 public:
  // Starts mending the output of `muxer` if it is GStreamer's AVI writer
  // and the mend is engaged; none otherwise.
  static std::unique_ptr<AviAudioRate> For(GstElement* muxer);

 private:
  explicit AviAudioRate(GstPad* output);
  PadProbe probe_;
};

}  // namespace gst
