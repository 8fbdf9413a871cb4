// The mends of what the writers state in their files, each disengaged,
// against the installed libraries: the behaviour shows exactly where the
// probe says it is there.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/gst/formats/asf_header.h"
#include "platform/gst/workarounds/registry.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/platform/gst/workarounds/canary.h"
#include "tests/support/ffmpeg_clips.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/media_fixtures.h"

namespace {

using gst::Workaround;

class WriterCanary : public ::testing::Test {
 protected:
  void SetUp() override { gst_test::InitGst(); }

  // Converts `source` with the video and sound encoders given (none for
  // either: no such stream) into `muxer`'s file at `output`.
  static void Convert(const std::string& source, const char* video, const char* audio,
                      const char* muxer, const std::string& output) {
    gst::PipelineDescription description;
    description.sourcePath = source;
    for (const auto& [kind, encoder] :
         {std::pair{gst::StreamKind::Video, video}, std::pair{gst::StreamKind::Audio, audio}}) {
      if (!encoder) continue;
      gst::BranchDescription branch;
      branch.kind = kind;
      branch.encoder = gst::ElementChoice::Make(encoder);
      description.branches.push_back(std::move(branch));
    }
    description.muxer = gst::ElementChoice::Make(muxer);
    description.outputPath = output;
    const auto outcome = gst_test::Convert(std::move(description));
    ASSERT_TRUE(outcome.Completed()) << outcome.Describe();
  }

  // What a Windows Media file made by the writer as planned, with `mend`
  // held back, says of itself.
  static std::optional<gst::AsfFileProperties> WindowsMediaWithout(const char* mend,
                                                                   const std::string& output) {
    const gst::DisengagedWorkaround held(mend);
    const auto outcome = gst_test::Convert(gst_test::WindowsMediaConversion(
        test_support::Clip(test_support::ClipKind::Mp4H264Aac), output));
    EXPECT_TRUE(outcome.Completed()) << outcome.Describe();
    std::ifstream in(output, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    return gst::ReadAsfFileProperties(bytes);
  }
};

// Sound timed by whole blocks a second runs 1.9 % slow: its last block
// comes some 55 ms late after 3 s.
TEST_F(WriterCanary, AviWmaTimeBase) {
  const gst::DisengagedWorkaround held("avi-wma-time-base");
  const std::string output = gst_test::OutputPath("whole blocks.avi");
  Convert(test_support::Clip(test_support::FfmpegClip::BeepingMov), nullptr, "avenc_wmav2",
          "avimux", output);
  const std::vector<double> times = test_support::PacketTimes(output, "audio");
  ASSERT_GT(times.size(), 50u);
  // Blocks of 2048 samples at the source's 48 kHz.
  const double late = times.back() - times.front() - double(times.size() - 1) * 2048 / 48000;
  EXPECT_EQ(std::abs(late) > 0.002, gst::BehaviourPresent(Workaround::AviWmaTimeBase)) << late;
  gst_test::ReportCanary(Workaround::AviWmaTimeBase);
}

// Sound that starts 0.5 s after the picture and ends 0.5 s after it: the
// file lasts 2.5 s, and each stream's own span is 2.
TEST_F(WriterCanary, MatroskaLength) {
  const gst::DisengagedWorkaround held("matroska-length");
  const std::string output = gst_test::OutputPath("late sound.mkv");
  Convert(test_support::Clip(test_support::FfmpegClip::OutlastingSoundMp4), "x264enc", "vorbisenc",
          "matroskamux", output);
  const auto probe = test_support::FfProbe(output);
  ASSERT_TRUE(probe.ok) << probe.error;
  EXPECT_EQ(probe.duration < 2.25, gst::BehaviourPresent(Workaround::MatroskaLength))
      << probe.duration << " s";
  gst_test::ReportCanary(Workaround::MatroskaLength);
}

TEST_F(WriterCanary, AsfCreationTime) {
  const auto stated = WindowsMediaWithout("asf-creation-time", gst_test::OutputPath("when.wmv"));
  ASSERT_TRUE(stated);
  EXPECT_EQ(stated->creationTime <= gst::FileTimeOf(0),
            gst::BehaviourPresent(Workaround::AsfCreationTime));
  gst_test::ReportCanary(Workaround::AsfCreationTime);
}

// The writer's plan declares the sound's bitrate only; the picture's
// carries most of the file.
TEST_F(WriterCanary, AsfMaxBitrate) {
  const std::string output = gst_test::OutputPath("busiest.wmv");
  const auto stated = WindowsMediaWithout("asf-max-bitrate", output);
  ASSERT_TRUE(stated);
  const auto probe = test_support::FfProbe(output);
  ASSERT_GT(probe.duration, 0) << probe.error;
  const double carried = double(std::filesystem::file_size(output)) * 8 / probe.duration;
  EXPECT_EQ(stated->maxBitrate < carried, gst::BehaviourPresent(Workaround::AsfMaxBitrate))
      << stated->maxBitrate << " stated, " << carried << " carried";
  gst_test::ReportCanary(Workaround::AsfMaxBitrate);
}

}  // namespace
