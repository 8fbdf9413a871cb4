#include "platform/gst/encoders/asf_writer_plan.h"

#include <algorithm>
#include <string>

namespace gst {

namespace {

// The Windows Media Audio encoder opens at these or less, and at no less
// than this bitrate.
constexpr int kMaxWmaRate = 48000;
constexpr int kMaxWmaChannels = 2;
constexpr std::uint32_t kMinWmaBitrate = 24000;
// The video's rate control may stray from its bitrate by this part of a
// second's bits.
constexpr std::uint32_t kToleranceFraction = 4;

BranchDescription AudioBranch(const AsfAudioStream& audio) {
  BranchDescription branch;
  branch.kind = StreamKind::Audio;
  branch.encoder = ElementChoice::Make(
      "avenc_wmav2", {{"bitrate", std::to_string(std::max(audio.bitrate, kMinWmaBitrate))}});
  branch.audio.rate = std::min(audio.sampleRate, kMaxWmaRate);
  branch.audio.channels = std::min(audio.channels, kMaxWmaChannels);
  return branch;
}

BranchDescription VideoBranch(const AsfVideoStream& video) {
  BranchDescription branch;
  branch.kind = StreamKind::Video;
  // A Windows Media stream keeps to its bitrate. libav's one-pass rate
  // control lets the whole run drift from it by its tolerance, 4 Mbit by
  // default: the opening frames of a short clip run over by a quarter. A
  // quarter of a second's bits holds the stream near its bitrate from the
  // start, at no cost. A buffer (maxrate and bufsize) would hold it as near
  // but encodes frames again whenever they overflow it: at low bitrates and
  // large pictures, most of them (2160p at 780 Kbps took 1.6 times the CPU).
  const std::string bitrate = std::to_string(video.bitrate);
  std::vector<std::pair<std::string, std::string>> properties{
      {"bitrate", bitrate},
      {"bitrate-tolerance", std::to_string(video.bitrate / kToleranceFraction)},
      {"max-bframes", "0"}};
  if (video.keyFrameSpacingSeconds > 0 && video.framerateNum > 0 && video.framerateDen > 0) {
    const long long frames = std::max(1LL, static_cast<long long>(video.keyFrameSpacingSeconds) *
                                               video.framerateNum / video.framerateDen);
    properties.emplace_back("gop-size", std::to_string(frames));
  }
  branch.encoder = ElementChoice::Make("avenc_wmv2", std::move(properties));
  branch.video.format = "I420";
  branch.video.width = video.width;
  branch.video.height = video.height;
  branch.video.framerateNum = video.framerateNum;
  branch.video.framerateDen = video.framerateDen;
  return branch;
}

}  // namespace

AsfWriterPlan PlanAsfWriter(const std::optional<AsfAudioStream>& audio,
                            const std::optional<AsfVideoStream>& video) {
  AsfWriterPlan plan;
  if (audio) plan.branches.push_back(AudioBranch(*audio));
  if (video) plan.branches.push_back(VideoBranch(*video));
  plan.muxer = ElementChoice::Make("avmux_asf");
  return plan;
}

}  // namespace gst
