// The encoders' mends, each held back: what it mends shows exactly where its
// probe says it is there.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gst/encoders/encoder_defaults.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/platform/gst/workarounds/canary.h"
#include "tests/support/ffmpeg_clips.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/media_fixtures.h"

namespace {

using gst::Workaround;
using test_support::Clip;
using test_support::FfmpegClip;

// The source's sound (or `kind`) through `encoder` into `muxer`, without
// `mend`; the path written.
std::string Convert(const char* mend, const std::string& source, const char* encoder,
                    const char* muxer, const std::string& name,
                    gst::StreamKind kind = gst::StreamKind::Audio) {
  gst_test::InitGst();
  const gst::DisengagedWorkaround held(mend);
  gst::PipelineDescription description;
  description.branches.resize(1);
  description.branches[0].kind = kind;
  description.branches[0].encoder = gst::ElementChoice::Use(gst::MakeEncoder(encoder).get());
  description.sourcePath = source;
  description.muxer = gst::ElementChoice::Make(muxer);
  description.outputPath = gst_test::OutputPath(name);
  const std::string path = description.outputPath;
  const auto outcome = gst_test::Convert(std::move(description));
  EXPECT_TRUE(outcome.Completed()) << outcome.Describe();
  return path;
}

// gst-libav 1.22's pictures come out millions of hours off their time.
TEST(EncoderCanary, LibavVideoTimestamps) {
  const std::vector<double> times = test_support::PacketTimes(
      Convert("libav-video-timestamps", gst_test::BusyClip(), "avenc_mpeg4", "matroskamux",
              "off.mkv", gst::StreamKind::Video),
      "video");
  ASSERT_FALSE(times.empty());
  EXPECT_EQ(times.front() > 1, gst::BehaviourPresent(Workaround::LibavVideoTimestamps));
  gst_test::ReportCanary(Workaround::LibavVideoTimestamps);
}

// A frame of Windows Media Audio's priming: the beeps come 43 ms late.
TEST(EncoderCanary, AudioEncoderPriming) {
  const std::vector<double> beeps = test_support::BeepStarts(Convert(
      "audio-encoder-priming", Clip(FfmpegClip::BeepingMov), "avenc_wmav2", "avmux_asf", "a.asf"));
  ASSERT_FALSE(beeps.empty());
  EXPECT_EQ(beeps.front() > 0.52, gst::BehaviourPresent(Workaround::AudioEncoderPriming));
  gst_test::ReportCanary(Workaround::AudioEncoderPriming);
}

// voaacenc's sound ends 54 ms early at 48 kHz.
TEST(EncoderCanary, AudioEncoderTail) {
  const std::string source = Clip(FfmpegClip::DvPal);
  const double early = test_support::SoundEnd(source) -
                       test_support::SoundEnd(
                           Convert("audio-encoder-tail", source, "voaacenc", "mp4mux", "cut.mp4"));
  EXPECT_EQ(early > 0.02, gst::BehaviourPresent(Workaround::AudioEncoderTail)) << early;
  gst_test::ReportCanary(Workaround::AudioEncoderTail);
}

}  // namespace
