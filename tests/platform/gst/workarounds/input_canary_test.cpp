// The mends for demuxers and parsers that misread common recordings, each
// disengaged, against the installed libraries: the behaviour shows exactly
// where the probe says it is there.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "platform/gst/workarounds/registry.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/platform/gst/workarounds/canary.h"
#include "tests/support/ffmpeg_clips.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"

namespace {

using gst::Workaround;
using test_support::FfmpegClip;

class InputCanary : public ::testing::Test {
 protected:
  void SetUp() override { gst_test::InitGst(); }

  // The sound of `clip`, and its picture when `picture`, into Matroska with
  // the mend called `mend` held back: the file written.
  static std::string Written(FfmpegClip clip, const char* mend, bool picture = false) {
    const gst::DisengagedWorkaround held(mend);
    gst::PipelineDescription description;
    description.sourcePath = test_support::Clip(clip);
    gst::BranchDescription sound;
    sound.kind = gst::StreamKind::Audio;
    sound.encoder = gst::ElementChoice::Make("vorbisenc");
    description.branches.push_back(std::move(sound));
    if (picture) {
      gst::BranchDescription video;
      video.kind = gst::StreamKind::Video;
      video.encoder = gst::ElementChoice::Make("x264enc", {{"speed-preset", "ultrafast"}});
      description.branches.push_back(std::move(video));
    }
    description.muxer = gst::ElementChoice::Make("matroskamux");
    const std::string output = gst_test::OutputPath(std::string(mend) + ".mkv");
    description.outputPath = output;
    const auto outcome = gst_test::Convert(std::move(description));
    EXPECT_TRUE(outcome.Completed()) << outcome.Describe();
    return output;
  }
};

// GStreamer 1.22 and 1.26 stamp nothing of ffmpeg's transport stream whose
// picture, and clock, start 0.7 s after its sound: the picture is written
// from the start.
TEST_F(InputCanary, TransportClock) {
  const FfmpegClip clip = FfmpegClip::LateVideoTs;
  const std::string output = Written(clip, "transport-clock", true);
  const double early = test_support::FirstPictureChange(test_support::Clip(clip)) -
                       test_support::FirstPictureChange(output);
  EXPECT_EQ(early > 0.3, gst::BehaviourPresent(Workaround::TransportClock)) << early << " s";
  gst_test::ReportCanary(Workaround::TransportClock);
}

// GStreamer 1.22 and 1.26 clip the sound stored before the picture at the
// start of a DVD's second VOB file: half a second of it.
TEST_F(InputCanary, ProgramStreamStart) {
  const FfmpegClip clip = FfmpegClip::DvdSecondPart;
  const std::string output = Written(clip, "program-stream-start");
  const auto length = [](const std::string& path) {
    return test_support::SoundEnd(path) - test_support::SoundStart(path);
  };
  const double lost = length(test_support::Clip(clip)) - length(output);
  EXPECT_EQ(lost > 0.3, gst::BehaviourPresent(Workaround::ProgramStreamStart)) << lost << " s";
  gst_test::ReportCanary(Workaround::ProgramStreamStart);
}

// GStreamer 1.22 and 1.26 drop the first 0.36 s of a broadcast's LATM
// sound, and play the rest 64 ms early.
TEST_F(InputCanary, LoasTiming) {
  const std::vector<double> beeps =
      test_support::BeepStarts(Written(FfmpegClip::LatmBroadcastTs, "loas-timing"));
  ASSERT_FALSE(beeps.empty());
  const bool mistimed = std::abs(beeps.front() - 0.5) > 0.03;
  EXPECT_EQ(mistimed, gst::BehaviourPresent(Workaround::LoasTiming)) << beeps.front() << " s";
  gst_test::ReportCanary(Workaround::LoasTiming);
}

}  // namespace
