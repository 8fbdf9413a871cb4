// Cutting a conversion into segments, joining their packets in order, and
// knowing how many cores there are to work on them.

#include <gtest/gtest.h>

#include <thread>
#include <variant>

#include "platform/gst/parallel/cores.h"
#include "platform/gst/parallel/packet_joiner.h"
#include "platform/gst/parallel/segment_plan.h"

namespace {

using gst::Segment;

std::vector<Segment> Planned(const gst::SegmentRequest& request) {
  const auto plan = gst::PlanSegments(request);
  if (const auto* why = std::get_if<std::string>(&plan)) ADD_FAILURE() << *why;
  return std::holds_alternative<std::vector<Segment>>(plan) ? std::get<std::vector<Segment>>(plan)
                                                            : std::vector<Segment>{};
}

// Segments cover every frame of the grid once, start on key frames, and
// are more than the workers.
TEST(SegmentPlan, CoversTheGridFromKeyFramesWithMoreSegmentsThanWorkers) {
  // A key frame every 2.5 s; 23 frames a second for 60 s.
  gst::SegmentRequest request{60 * GST_SECOND, 23, 1, 2, [](GstClockTime time) {
                                const GstClockTime every = 2500 * GST_MSECOND;
                                return (time + every - 1) / every * every;
                              }};
  const auto segments = Planned(request);
  ASSERT_GT(segments.size(), 2u * 2);
  std::uint64_t next = 0;
  for (const Segment& segment : segments) {
    EXPECT_EQ(segment.firstFrame, next);
    EXPECT_EQ(segment.start, gst::FrameTime(segment.firstFrame, 23, 1));
    EXPECT_EQ(segment.stop, gst::FrameTime(segment.firstFrame + segment.frames, 23, 1));
    if (segment.firstFrame > 0) {
      // The first frame at or after a key frame.
      const GstClockTime key = segment.start / (2500 * GST_MSECOND) * (2500 * GST_MSECOND);
      EXPECT_LT(segment.start - key, gst::FrameTime(1, 23, 1)) << segment.firstFrame;
    }
    next += segment.frames;
  }
  EXPECT_EQ(next, 60u * 23);
}

// Where splitting cannot serve, one worker does the job.
TEST(SegmentPlan, OneWorkerServesOneCoreAShortSourceOrNoFrameRate) {
  const auto refused = [](const gst::SegmentRequest& request) {
    return std::holds_alternative<std::string>(gst::PlanSegments(request));
  };
  EXPECT_TRUE(refused({60 * GST_SECOND, 25, 1, 1, {}})) << "one core";
  EXPECT_TRUE(refused({3 * GST_SECOND, 25, 1, 2, {}})) << "a few seconds";
  EXPECT_TRUE(refused({60 * GST_SECOND, 0, 1, 2, {}})) << "no fixed rate";
  EXPECT_FALSE(refused({60 * GST_SECOND, 25, 1, 2, {}}));
}

gst::BufferPtr Packet(std::size_t bytes, std::uint8_t mark) {
  gst::BufferPtr buffer(gst_buffer_new_allocate(nullptr, bytes, nullptr));
  gst_buffer_memset(buffer.get(), 0, mark, bytes);
  return buffer;
}

std::uint8_t MarkOf(const gst::BufferPtr& buffer) {
  std::uint8_t mark = 0;
  gst_buffer_extract(buffer.get(), 0, &mark, 1);
  return mark;
}

// Packets come out in segment order whatever order the segments finish in;
// a segment ahead waits for room, while the one being written never does.
TEST(PacketJoiner, GivesSegmentsInOrderAndHoldsThoseAheadInBoundedRoom) {
  gst::PacketJoiner joiner(3, 100);
  std::thread farthest([&] {
    for (std::uint8_t i = 0; i < 5; ++i) joiner.Add(2, Packet(60, 20 + i));  // waits for room
    joiner.Finish(2);
  });
  std::thread ahead([&] {
    joiner.Add(1, Packet(60, 10));
    joiner.Finish(1);
  });
  for (std::uint8_t i = 0; i < 3; ++i) joiner.Add(0, Packet(1000, i));  // never waits
  joiner.Finish(0);
  std::vector<int> marks;
  while (auto packet = joiner.Next()) marks.push_back(MarkOf(packet->buffer));
  farthest.join();
  ahead.join();
  EXPECT_EQ(marks, (std::vector<int>{0, 1, 2, 10, 20, 21, 22, 23, 24}));
}

// A stop ends the stream with what is whole from the start: every finished
// segment, then the one being written as far as it came.
TEST(PacketJoiner, AStopEndsWithWhatIsWholeFromTheStart) {
  gst::PacketJoiner joiner(3, 1000);
  joiner.Add(0, Packet(10, 0));
  joiner.Finish(0);
  joiner.Add(1, Packet(10, 10));
  joiner.Add(2, Packet(10, 20));  // beyond the gap: not written
  joiner.Stop();
  joiner.Add(1, Packet(10, 11));  // after the stop: dropped
  std::vector<int> marks;
  while (auto packet = joiner.Next()) marks.push_back(MarkOf(packet->buffer));
  EXPECT_EQ(marks, (std::vector<int>{0, 10}));
}

TEST(Cores, AQuotaGivesWholeCoresAndNoneWithoutOne) {
  EXPECT_EQ(gst::CoresOfQuota("max 100000"), std::nullopt);
  EXPECT_EQ(gst::CoresOfQuota("150000 100000"), 2);
  EXPECT_EQ(gst::CoresOfQuota("50000 100000"), 1);
  EXPECT_EQ(gst::CoresOfQuota(-1, 100000), std::nullopt);
  EXPECT_EQ(gst::CoresOfQuota(400000, 100000), 4);
  EXPECT_EQ(gst::CoresOfQuota("garbage"), std::nullopt);
  EXPECT_GE(gst::AvailableCores(), 1);
}

}  // namespace
