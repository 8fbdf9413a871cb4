#pragma once
// GStreamer 1.22's AVI reader mistimes two kinds of streams that cameras and
// old encoders write; their times are mended here, on the reader's pads.
//
// Pictures stored out of order. AVI keeps no presentation times: pictures
// are stored in decoding order, one per tick. The reader stamps each
// keyframe with its tick as the time it is shown, which holds only where no
// picture comes out of order. In MPEG-1, MPEG-2 and MPEG-4 part 2 (Xvid,
// DivX) with B pictures a keyframe is shown one or more ticks after it is
// decoded, so the decoder put every picture from the second keyframe on two
// or three ticks early (an Xvid played 100 ms ahead of its sound) or
// drifting. The stamps of those keyframes are taken off, all but the first
// of each segment: the decoder then shows each picture at the earliest tick
// not yet given, which is where it belongs.
//
// ADPCM sound (digital cameras' IMA ADPCM, Microsoft ADPCM). The reader
// times a block by its bytes, at a byte rate it works out from the samples
// a block holds, and counts those without the channels: a mono block holds
// twice the samples it thinks. Each block was stamped at half its time, and
// a writer that keeps to the stamps kept half the sound. Blocks are stamped
// here with the samples they hold.

#include <gst/gst.h>

#include <cstdint>
#include <optional>

namespace gst {

// Whether a stream of these caps may show its pictures in another order
// than it decodes them, so that the AVI reader's keyframe stamps go wrong.
bool ReordersPictures(const GstCaps* caps);

// The times of ADPCM blocks, from what the AVI reader stamped them with.
class AdpcmBlockTimes {
 public:
  // For ADPCM caps of a kind the reader mistimes; nothing for any other.
  static std::optional<AdpcmBlockTimes> For(const GstCaps* caps);

  // The time of the sound that starts where the reader's `stamp` falls.
  GstClockTime TimeOf(GstClockTime stamp) const;
  // How long `bytes` of blocks last.
  GstClockTime LengthOf(std::uint64_t bytes) const;
  // Whether the reader timed a buffer of `bytes` that it says lasts
  // `duration` by its byte rate; a header that makes it count blocks
  // instead gives the right times already.
  bool TimedByBytes(std::uint64_t bytes, GstClockTime duration) const;
  // Samples in one block, per channel.
  int SamplesPerBlock() const { return samplesPerBlock_; }

 private:
  AdpcmBlockTimes(int rate, int blockAlign, int samplesPerBlock, int readerByteRate)
      : rate_(rate),
        blockAlign_(blockAlign),
        samplesPerBlock_(samplesPerBlock),
        readerByteRate_(readerByteRate) {}
  int rate_;
  int blockAlign_;
  int samplesPerBlock_;
  int readerByteRate_;  // the byte rate the reader stamps by
};

// Mends the times above on every AVI reader that `decodebin` adds from now
// on. Call before the bin starts.
void KeepAviStreamsInTime(GstElement* decodebin);

}  // namespace gst
