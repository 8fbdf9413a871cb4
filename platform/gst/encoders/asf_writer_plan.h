#pragma once
// The ASF file a Windows Media profile describes, as branches and a muxer:
// Windows Media Audio 2 (avenc_wmav2) and Windows Media Video 8
// (avenc_wmv2, the newest Windows Media video encoder with an open
// implementation; a profile asking for Windows Media Video 9 is written as
// version 8).

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/gst/pipeline/pipeline_description.h"

namespace gst {

struct AsfAudioStream {
  std::uint32_t bitrate = 0;  // bits per second
  int sampleRate = 0;
  int channels = 0;
};

struct AsfVideoStream {
  int width = 0;
  int height = 0;
  int framerateNum = 0;  // frames per second as a fraction; 0 keeps the source's rate
  int framerateDen = 1;
  std::uint32_t bitrate = 0;       // bits per second
  int keyFrameSpacingSeconds = 0;  // 0: the encoder's default
};

struct AsfWriterPlan {
  std::vector<BranchDescription> branches;  // audio first, then video; stream 0 of each kind
  ElementChoice muxer;
};

AsfWriterPlan PlanAsfWriter(const std::optional<AsfAudioStream>& audio,
                            const std::optional<AsfVideoStream>& video);

}  // namespace gst
