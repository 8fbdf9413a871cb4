// The mends of how GStreamer's MP4 demuxer reads common files, each
// held back against the installed demuxer: what it mends shows exactly
// where its probe says the behaviour is there.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "platform/gst/conversion_pipeline.h"
#include "platform/gst/workarounds/registry.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/platform/gst/workarounds/canary.h"
#include "tests/support/ffmpeg_clips.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"

namespace {

using canary::Report;
using gst::ElementChoice;
using gst::StreamKind;
using gst::Workaround;
using test_support::FfmpegClip;

class DemuxerCanary : public ::testing::Test {
 protected:
  void SetUp() override { gst_test::InitGst(); }

  // Converts the one stream of `kind` of `clip` by `encoder` (none: as it
  // decodes) into `muxer`; gives the source's path and the output's.
  static std::pair<std::string, std::string> Convert(FfmpegClip clip, StreamKind kind,
                                                     std::optional<ElementChoice> encoder,
                                                     const char* muxer, const std::string& name) {
    gst::BranchDescription branch;
    branch.kind = kind;
    branch.encoder = std::move(encoder);
    gst::PipelineDescription description;
    description.sourcePath = test_support::Clip(clip);
    description.branches.push_back(std::move(branch));
    description.muxer = ElementChoice::Make(muxer);
    description.outputPath = gst_test::OutputPath(name);
    auto paths = std::pair(description.sourcePath, description.outputPath);
    const auto outcome = gst_test::Convert(std::move(description));
    EXPECT_TRUE(outcome.Completed()) << outcome.Describe();
    return paths;
  }
};

// GStreamer 1.22 ends the sound of a clip cut without re-encoding as much
// early as its edit list skips of its samples (0.38 s).
TEST_F(DemuxerCanary, Mp4EditedEnd) {
  const gst::DisengagedWorkaround held("mp4-edited-end");
  const auto [source, output] =
      Convert(FfmpegClip::TrimmedMp4, StreamKind::Audio, ElementChoice::Make("vorbisenc"),
              "matroskamux", "edited end.mkv");
  const double lost = test_support::SoundEnd(source) - test_support::SoundEnd(output);
  EXPECT_EQ(lost > 0.1, gst::BehaviourPresent(Workaround::Mp4EditedEnd)) << lost << " s lost";
  Report(Workaround::Mp4EditedEnd);
}

// The picture of that clip comes out at a rate the demuxer read from a
// length that counts the reordering delay.
TEST_F(DemuxerCanary, Mp4CutFrameRate) {
  const gst::DisengagedWorkaround held("mp4-cut-frame-rate");
  const auto [source, output] = Convert(
      FfmpegClip::TrimmedMp4, StreamKind::Video,
      ElementChoice::Make("x264enc", {{"speed-preset", "ultrafast"}}), "matroskamux", "cut.mkv");
  const double in = test_support::FfProbe(source).First("video").frameRate;
  const double out = test_support::FfProbe(output).First("video").frameRate;
  EXPECT_EQ(std::abs(out - in) > in / 200, gst::BehaviourPresent(Workaround::Mp4CutFrameRate))
      << out << " fps from " << in;
  Report(Workaround::Mp4CutFrameRate);
}

}  // namespace
