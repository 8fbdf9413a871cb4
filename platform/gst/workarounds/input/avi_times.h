#pragma once
// GStreamer's AVI reader mistimes two kinds of streams that cameras and old
// encoders write; their times are mended here, on the reader's pads, each
// only where its probe (a few chunks of a file the reader pulls) finds the
// behaviour.
//
// Pictures stored out of order. AVI keeps no presentation times: pictures
// are stored in decoding order, one per tick. The reader stamps each
// keyframe with its tick as the time it is shown, which holds only where no
// picture comes out of order. In MPEG-1, MPEG-2 and MPEG-4 part 2 (Xvid,
// DivX) with B pictures a keyframe is shown one or more ticks after it is
// decoded, so the decoder puts every picture from the second keyframe on two
// or three ticks early (an Xvid plays 70-100 ms ahead of its sound) or
// drifting. The stamps of those keyframes are taken off, all but the first
// of each segment: the decoder then shows each picture at the earliest tick
// not yet given, which is where it belongs.
// GStreamer 1.22 and 1.26 have it. Registry name "avi-keyframe-stamps";
// canary test DemuxerCanary.AviKeyframeStamps.
//
// ADPCM sound (digital cameras' IMA ADPCM, Microsoft ADPCM). The reader
// times a block by its bytes, at a byte rate it works out from the samples
// a block holds, and counts those without the channels: a mono block holds
// twice the samples it thinks. Each block is stamped at half its time, and
// a writer that keeps to the stamps keeps half the sound. Blocks are stamped
// here with the samples they hold. (A run's sound never goes back in time,
// audio_continuity.h, which hides the half times where the sound starts at
// its first stamp; they are put right here, where they are made.)
// GStreamer 1.22 has it; 1.26 does not. Registry name "avi-adpcm-times";
// canary test DemuxerCanary.AviAdpcmTimes.

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

// Mends the times above, those that are engaged, on every AVI reader that
// `decodebin` adds from now on. Call before the bin starts.
void KeepAviStreamsInTime(GstElement* decodebin);

// Whether the installed AVI reader, pulling a file of MPEG-4 part 2
// pictures, stamps a keyframe after the first with the tick it is decoded at.
bool AviDemuxerShowsKeyframesWhenDecoded();
// Whether it times a block of mono IMA ADPCM by a byte rate that takes its
// bytes after the header for its samples.
bool AviDemuxerTimesAdpcmByHalfItsSamples();

}  // namespace gst
