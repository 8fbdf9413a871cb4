#pragma once
// The samples in one frame of libav's Windows Media Audio encoders, which
// size it by the rate. Each block (packet) they give out holds one frame.

namespace gst {

constexpr int WmaFrameLength(int version, int rate) {
  if (rate <= 16000) return 512;
  if (rate <= 22050 || (version == 1 && rate <= 32000)) return 1024;
  return 2048;
}

}  // namespace gst
