// Each mend of a library's behaviour, disengaged, against the installed
// libraries: the behaviour shows exactly where the probe says it is there.
// Where it is not, the mend is dead code on this system, and the test says so.

#include "tests/platform/gst/workarounds/canary.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/gst/formats/asf_header.h"
#include "platform/gst/workarounds/registry.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/media_fixtures.h"

namespace {

using gst::Workaround;

class Canary : public ::testing::Test {
 protected:
  void SetUp() override { gst_test::InitGst(); }
};

TEST(Workarounds, EachHasItsOwnNameAndCanBeHeldBackByIt) {
  std::set<std::string_view> names;
  for (const auto& entry : gst::Workarounds()) {
    EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
    EXPECT_FALSE(entry.mends.empty()) << entry.name;
    const bool present = gst::BehaviourPresent(entry.id);
    EXPECT_EQ(gst::Engaged(entry.id), present) << entry.name;
    {
      const gst::DisengagedWorkaround held(entry.name);
      EXPECT_TRUE(held.Known());
      EXPECT_FALSE(gst::Engaged(entry.id)) << entry.name;
    }
    EXPECT_EQ(gst::Engaged(entry.id), present) << entry.name << ", let go";
  }
  EXPECT_FALSE(gst::DisengagedWorkaround("no-such-mend").Known());
}

// Without fixed caps after them, libav's encoders of gst-libav 1.22 write
// the same file whatever bitrate they are asked for.
TEST_F(Canary, LibavFrameRate) {
  const gst::DisengagedWorkaround held("libav-frame-rate");
  std::vector<double> measured;
  for (const int bitrate : {1000000, 3000000}) {
    gst::BranchDescription video;
    video.kind = gst::StreamKind::Video;
    video.encoder = gst::ElementChoice::Make("avenc_mpeg4", {{"bitrate", std::to_string(bitrate)}});
    video.video = {"I420", 320, 240, 25, 1};
    gst::PipelineDescription description;
    description.sourcePath = gst_test::BusyClip();
    description.branches.push_back(std::move(video));
    description.muxer = gst::ElementChoice::Make("matroskamux");
    const std::string output = gst_test::OutputPath("blind " + std::to_string(bitrate) + ".mkv");
    description.outputPath = output;
    const auto outcome = gst_test::Convert(std::move(description));
    ASSERT_TRUE(outcome.Completed()) << outcome.Describe();
    measured.push_back(test_support::MeasuredBitrate(output, "video"));
  }
  const bool blind = measured[1] < 1.5 * measured[0];
  EXPECT_EQ(blind, gst::BehaviourPresent(Workaround::LibavFrameRate))
      << measured[0] << " and " << measured[1] << " bit/s";
  gst_test::ReportCanary(Workaround::LibavFrameRate);
}

// gst-libav 1.26.2 hands its muxers no codec data: the Windows Media file's
// streams lack what their decoders need.
TEST_F(Canary, AsfCodecData) {
  const gst::DisengagedWorkaround held("asf-codec-data");
  const std::string output = gst_test::OutputPath("without codec data.wmv");
  const auto outcome = gst_test::Convert(gst_test::WindowsMediaConversion(
      test_support::Clip(test_support::ClipKind::Mp4H264Aac), output));
  ASSERT_TRUE(outcome.Completed()) << outcome.Describe();
  std::ifstream in(output, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  const bool lacking = gst::AsfCodecData(bytes, 1).empty() || gst::AsfCodecData(bytes, 2).empty();
  EXPECT_EQ(lacking, gst::BehaviourPresent(Workaround::AsfCodecData));
  EXPECT_EQ(lacking, !test_support::DecodeErrors(output).empty());
  gst_test::ReportCanary(Workaround::AsfCodecData);
}

}  // namespace
