#pragma once
// Which fixed quantizer gives a bitrate, from a few short encodes at known
// quantizers. Bits per frame fall with the quantizer roughly as a power law;
// between two measured quantizers the law through them is used, beyond the
// ends the law of the nearest pair.

#include <vector>

namespace gst {

// What the frames of one calibration encode took, key frames apart.
struct FrameBits {
  int quantizer = 0;
  double keyBits = 0;
  int keyFrames = 0;
  double deltaBits = 0;
  int deltaFrames = 0;
};

constexpr int kMinQuantizer = 2;
constexpr int kMaxQuantizer = 31;

// The whole quantizer whose expected average bits per frame come nearest
// (as a ratio) to `targetBitsPerFrame`, for groups of `groupFrames` frames
// of which the first is a key frame. `measured` holds encodes at distinct
// quantizers in rising order; with fewer than two usable ones the answer
// is kMaxQuantizer.
int QuantizerFor(double targetBitsPerFrame, double groupFrames,
                 const std::vector<FrameBits>& measured);

}  // namespace gst
