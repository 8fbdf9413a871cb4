#include <gtest/gtest.h>

#include "platform/gst/encoders/asf_writer_plan.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"

namespace {

using test_support::FfProbe;

class AsfWriter : public ::testing::Test {
 protected:
  void SetUp() override { gst_test::InitGst(); }
};

TEST_F(AsfWriter, WritesWindowsMediaStreamsAtTheProfilesBitrates) {
  const std::string output = gst_test::OutputPath("profile.asf");
  const auto outcome = gst_test::Convert(gst_test::WindowsMediaConversion(
      gst_test::BusyClip(), output, {128000, 44100, 2}, {640, 480, 25, 1, 798720, 8}));
  ASSERT_TRUE(outcome.Completed()) << outcome.Describe();

  const auto probe = FfProbe(output);
  ASSERT_TRUE(probe.ok) << probe.error;
  EXPECT_NEAR(probe.duration, 4.0, 0.2);
  ASSERT_EQ(probe.CountOf("video"), 1);
  ASSERT_EQ(probe.CountOf("audio"), 1);
  const auto video = probe.First("video");
  const auto audio = probe.First("audio");
  EXPECT_EQ(video.codecName, "wmv2");
  EXPECT_EQ(video.width, 640);
  EXPECT_EQ(video.height, 480);
  EXPECT_NEAR(video.frameRate, 25, 0.5);
  EXPECT_EQ(audio.codecName, "wmav2");
  EXPECT_EQ(audio.sampleRate, 44100);
  EXPECT_EQ(audio.channels, 2);
  EXPECT_EQ(audio.bitRate, 128000);
  EXPECT_NEAR(test_support::MeasuredBitrate(output, "video"), 798720, 0.05 * 798720);
  EXPECT_EQ(test_support::DecodeErrors(output), "");
}

}  // namespace
