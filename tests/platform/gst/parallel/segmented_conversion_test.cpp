// A Windows Media file encoded in segments side by side is the file one
// worker writes; a stopped one keeps every frame up to where it stopped;
// sources that cannot be cut go to one worker.

#include "platform/gst/parallel/segmented_conversion.h"

#include <gtest/gtest.h>

#include <variant>

#include "platform/gst/parallel/conversion_choice.h"
#include "platform/gst/parallel/key_frames.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/support/ffmpeg_clips.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/waiting.h"

namespace {

using test_support::PacketTimes;

constexpr GstClockTime kLongClipLength = 30 * GST_SECOND;
constexpr double kFrame = 1.0 / 25;

std::vector<gst::Segment> SegmentsOf(const gst::PipelineDescription& description) {
  auto plan = gst::SegmentsFor(description, kLongClipLength, 2);
  if (const auto* why = std::get_if<std::string>(&plan)) ADD_FAILURE() << *why;
  return std::holds_alternative<std::vector<gst::Segment>>(plan)
             ? std::get<std::vector<gst::Segment>>(plan)
             : std::vector<gst::Segment>{};
}

// The clip has a key frame every 10 s (x264's default spacing at 25 fps).
TEST(KeyFrames, TheFirstAtOrAfterATimeAndNoneAfterTheLast) {
  const auto keys = gst::KeyFrames::Open(gst_test::LongClip());
  ASSERT_TRUE(keys);
  EXPECT_EQ(keys->From(3 * GST_SECOND), std::optional<GstClockTime>(10 * GST_SECOND));
  EXPECT_EQ(keys->From(10 * GST_SECOND), std::optional<GstClockTime>(10 * GST_SECOND));
  EXPECT_EQ(keys->From(12 * GST_SECOND), std::optional<GstClockTime>(20 * GST_SECOND));
  EXPECT_EQ(keys->From(25 * GST_SECOND), std::nullopt);
}

TEST(SegmentedConversion, WritesTheFramesTimesAndSoundOfOneWorker) {
  const std::string one = gst_test::OutputPath("segments-one.wmv");
  const std::string two = gst_test::OutputPath("segments-two.wmv");
  const auto single =
      gst_test::Convert(gst_test::WindowsMediaConversion(gst_test::LongClip(), one));
  ASSERT_TRUE(single.Completed()) << single.Describe();

  auto description = gst_test::WindowsMediaConversion(gst_test::LongClip(), two);
  std::vector<gst::Segment> segments = SegmentsOf(description);
  ASSERT_GE(segments.size(), 3u);
  const auto parallel = gst_test::Convert([&](gst::PipelineEventHandler handler) {
    return std::make_unique<gst::SegmentedConversion>(std::move(description), std::move(segments),
                                                      2, std::move(handler));
  });
  ASSERT_TRUE(parallel.Completed()) << parallel.Describe();

  const std::vector<double> expected = PacketTimes(one, "video");
  const std::vector<double> frames = PacketTimes(two, "video");
  ASSERT_EQ(frames.size(), expected.size());
  for (std::size_t i = 0; i < frames.size(); ++i)
    ASSERT_NEAR(frames[i], expected[i], 0.002) << "frame " << i;
  EXPECT_NEAR(test_support::SoundStart(two), test_support::SoundStart(one), kFrame);
  EXPECT_NEAR(test_support::FfProbe(two).duration, test_support::FfProbe(one).duration, kFrame);
  EXPECT_NEAR(test_support::MeasuredBitrate(two, "video"),
              test_support::MeasuredBitrate(one, "video"),
              0.05 * test_support::MeasuredBitrate(one, "video"));
  EXPECT_EQ(test_support::DecodeErrors(two), "");
}

TEST(SegmentedConversion, AStopKeepsEveryFrameUpToTheSegmentBeingWritten) {
  const std::string out = gst_test::OutputPath("segments-stopped.wmv");
  auto description = gst_test::WindowsMediaConversion(gst_test::LongClip(), out);
  std::vector<gst::Segment> segments = SegmentsOf(description);
  ASSERT_GE(segments.size(), 3u);
  gst::SegmentedConversion run(std::move(description), std::move(segments), 2,
                               [](const gst::PipelineEvent&) {});
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(
      test_support::WaitUntil([&] { return run.Position().value_or(0) > 12 * GST_SECOND; }));
  EXPECT_NE(run.Stop(), gst::Conversion::StopResult::Failed);

  const std::vector<double> frames = PacketTimes(out, "video");
  ASSERT_FALSE(frames.empty());
  EXPECT_NEAR(frames.front(), test_support::SoundStart(out), kFrame);
  for (std::size_t i = 1; i < frames.size(); ++i)
    ASSERT_NEAR(frames[i] - frames[i - 1], kFrame, 0.002) << "a gap before frame " << i;
  EXPECT_LT(frames.size(), 30u * 25);
  EXPECT_EQ(test_support::DecodeErrors(out), "");
}

// A source that seeks by guessing (and may start its clock over), one too
// short for a few segments, and a single worker are done by one worker.
TEST(ConversionChoice, OneWorkerServesWhereSegmentsCannot) {
  const auto refused = [](const std::string& source, GstClockTime duration, int workers) {
    const auto plan =
        gst::SegmentsFor(gst_test::WindowsMediaConversion(source, "unused.wmv"), duration, workers);
    return std::holds_alternative<std::string>(plan) ? std::get<std::string>(plan) : "";
  };
  EXPECT_EQ(refused(test_support::Clip(test_support::FfmpegClip::BroadcastTs), kLongClipLength, 2),
            "no exact seeking");
  EXPECT_EQ(refused(gst_test::BusyClip(), 4 * GST_SECOND, 2), "too short for segments");
  EXPECT_EQ(refused(gst_test::LongClip(), kLongClipLength, 1), "one core");
  EXPECT_EQ(refused(gst_test::LongClip(), kLongClipLength, 2), "");
}

}  // namespace
