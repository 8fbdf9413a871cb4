#include "platform/gst/parallel/conversion_choice.h"

#include <gst/base/gsttypefindhelper.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "platform/gst/parallel/cores.h"
#include "platform/gst/parallel/key_frames.h"
#include "platform/gst/parallel/segmented_conversion.h"
#include "platform/gst/pipeline/conversion_pipeline.h"

namespace gst {

namespace {

// Whether the file is of a container whose demuxer seeks to a frame exactly
// from an index, with one time line throughout. MPEG program and transport
// streams seek by guessing from the bitrate and may start their clocks over
// (a DVD's second part, a broadcast's restart), so a segment could not be
// found by its time.
bool SeeksExactly(const std::string& path) {
  std::array<char, 4096> head{};
  std::ifstream in(path, std::ios::binary);
  in.read(head.data(), head.size());
  const auto read = static_cast<gsize>(in.gcount());
  if (read == 0) return false;
  const CapsPtr caps(gst_type_find_helper_for_data(
      nullptr, reinterpret_cast<const guint8*>(head.data()), read, nullptr));
  if (!caps || gst_caps_is_empty(caps.get())) return false;
  const std::string_view name = gst_structure_get_name(gst_caps_get_structure(caps.get(), 0));
  return name == "video/quicktime" || name == "video/x-matroska" || name == "video/webm" ||
         name == "video/x-msvideo";
}

// The one video branch, when the picture is what the conversion encodes,
// into a Windows Media file.
const BranchDescription* EncodedPicture(const PipelineDescription& description) {
  if (!description.muxer || description.muxer->FactoryName() != "avmux_asf") return nullptr;
  if (description.range) return nullptr;
  const BranchDescription* picture = nullptr;
  for (const BranchDescription& branch : description.branches) {
    if (branch.kind != StreamKind::Video) continue;
    if (picture) return nullptr;
    picture = &branch;
  }
  // Each segment makes an encoder of its own, so a shared one cannot serve.
  if (!picture || !picture->encoder || picture->encoder->element) return nullptr;
  return picture;
}

// The frames from one key frame to the next the encoder is set to; 0 for
// its own choice.
std::uint64_t KeyFrameSpacing(const ElementChoice& encoder) {
  for (const auto& [name, value] : encoder.properties)
    if (name == "gop-size") return std::strtoull(value.c_str(), nullptr, 10);
  return 0;
}

// Each segment's encoder starts its rate control afresh, and warms up
// before its segment. That was measured to keep segments within 4 % of one
// encoder's bitrate at 0.1 to 0.2 bits a pixel (720p and 1080p at the
// bench's bitrates, 360p at 780 Kbps). Below this it was not shown to,
// and the encoder nears the floor of its rate (at 780 Kbps, 1080p and
// 2160p overshoot by 80 % and 480 % with one encoder as well), so one
// encoder writes those.
constexpr double kLeastBitsPerPixel = 0.05;

double BitsPerPixel(const BranchDescription& picture, const KeyFrames& keys) {
  double bitrate = 0;
  for (const auto& [name, value] : picture.encoder->properties)
    if (name == "bitrate") bitrate = std::strtod(value.c_str(), nullptr);
  const RawVideo& video = picture.video;
  const double pixels = video.width > 0 && video.height > 0
                            ? static_cast<double>(video.width) * video.height
                            : static_cast<double>(keys.width()) * keys.height();
  const double rate = static_cast<double>(video.framerateNum) / video.framerateDen;
  return pixels > 0 && rate > 0 ? bitrate / (pixels * rate) : 0;
}

}  // namespace

std::variant<std::vector<Segment>, std::string> SegmentsFor(const PipelineDescription& description,
                                                            std::optional<GstClockTime> duration,
                                                            int workers) {
  if (workers < 2) return std::string("one core");
  const BranchDescription* picture = EncodedPicture(description);
  if (!picture) return std::string("not a Windows Media picture of its own encoder");
  if (!duration) return std::string("no known length");
  if (!SeeksExactly(description.sourcePath)) return std::string("no exact seeking");
  const int num = picture->video.framerateNum;
  const int den = picture->video.framerateDen;
  if (num <= 0 || den <= 0) return std::string("no fixed frame rate");
  // Each segment starts at a key frame of the source, so that nothing is
  // decoded only to be dropped.
  const std::unique_ptr<KeyFrames> keys = KeyFrames::Open(description.sourcePath);
  if (!keys) return std::string("no index of key frames");
  if (BitsPerPixel(*picture, *keys) < kLeastBitsPerPixel) return std::string("too few bits");
  SegmentRequest request{*duration, num, den, workers, {}};
  // Where the encoder of one run would put its key frames anyway, the
  // segments add none: the cuts go there, where that leaves two segments a
  // worker and none longer than the longest, and the source has a key frame
  // there too. Otherwise each segment's first frame is a key frame more:
  // the rate control keeps the bitrate and spends a little of the
  // pictures' quality on it.
  const std::uint64_t spacing = KeyFrameSpacing(*picture->encoder);
  const GstClockTime apart = spacing > 0 ? FrameTime(spacing, num, den) : 0;
  const bool aligned = apart > 0 && apart <= kLongestSegment && *duration / apart >= 2ULL * workers;
  request.keyFrameFrom = [&](GstClockTime time) {
    if (aligned) {
      const std::uint64_t frame = gst_util_uint64_scale_ceil(
          time, static_cast<guint64>(num), static_cast<guint64>(den) * GST_SECOND);
      time = FrameTime((frame + spacing - 1) / spacing * spacing, num, den);
    }
    return keys->From(time).value_or(GST_CLOCK_TIME_NONE);
  };
  return PlanSegments(request);
}

std::unique_ptr<Conversion> MakeConversion(PipelineDescription description,
                                           std::optional<GstClockTime> duration,
                                           PipelineEventHandler handler) {
  const int workers = WorkerLimit();
  // Left to itself, a run cuts segments only with this many cores: one
  // pipeline keeps two busy already, its decoder working beside its
  // encoder, and on two cores segments were measured no faster
  // (bench/README.md). --threads asks for them on fewer.
  constexpr int kCoresForSegments = 3;
  if (!WorkerLimitSet() && workers < kCoresForSegments)
    return std::make_unique<ConversionPipeline>(std::move(description), std::move(handler));
  auto plan = SegmentsFor(description, duration, workers);
  if (auto* segments = std::get_if<std::vector<Segment>>(&plan))
    return std::make_unique<SegmentedConversion>(std::move(description), std::move(*segments),
                                                 workers, std::move(handler));
  return std::make_unique<ConversionPipeline>(std::move(description), std::move(handler));
}

}  // namespace gst
