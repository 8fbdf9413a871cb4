#include "platform/gst/workarounds/input/program_stream_start.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/gst/formats/mpeg_packets.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using gst::EarliestProgramStreamStamp;
using gst::ProgramPes;

constexpr std::uint64_t kTicks = 90000;  // a second

Bytes Join(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes Pack() { return gst::ProgramPack(0); }

TEST(ProgramStreamStart, TheEarliestSoundOrPictureStampAnywhereInTheHead) {
  // A DVD title's second part: pictures first, then sound stamped earlier,
  // a subpicture stamped earlier still (not a stream that starts the file).
  const Bytes head =
      Join({Pack(), ProgramPes(0xe0, 466 * kTicks / 100), Pack(),
            ProgramPes(0xbd, 30 * kTicks / 100, 0x20), ProgramPes(0xbd, 425 * kTicks / 100, 0x80),
            ProgramPes(0xc0, 430 * kTicks / 100), ProgramPes(0xe0, 100 * kTicks / 100)});
  EXPECT_EQ(EarliestProgramStreamStamp(head), 425 * kTicks / 100);
  // A stamp past 32 bits of the 33.
  EXPECT_EQ(EarliestProgramStreamStamp(Join({Pack(), ProgramPes(0xe0, (1ull << 32) + 7)})),
            (1ull << 32) + 7);
}

TEST(ProgramStreamStart, SegmentsMoveByTheWholePicturesOfTheLead) {
  // NTSC's picture, from the sequence header in the picture's first packet.
  Bytes video = ProgramPes(0xe0, kTicks);
  const Bytes sequence{0, 0, 1, 0xb3, 0x2d, 0x01, 0xe0, 0x24};
  std::copy(sequence.begin(), sequence.end(), video.end() - 12);
  EXPECT_EQ(gst::ProgramStreamFrameDuration(Join({Pack(), video})),
            gst_util_uint64_scale_int(GST_SECOND, 1001, 30000));
  EXPECT_FALSE(gst::ProgramStreamFrameDuration(Join({Pack(), ProgramPes(0xe0, kTicks)})));

  constexpr GstClockTime kFrame = 40 * GST_MSECOND;
  const GstClockTime start = 64660 * GST_MSECOND;
  EXPECT_EQ(gst::SegmentMove(start, start - 413 * GST_MSECOND, kFrame), 400 * GST_MSECOND);
  EXPECT_EQ(gst::SegmentMove(start, start - 5 * GST_MSECOND, kFrame), 0u) << "under a picture";
  EXPECT_EQ(gst::SegmentMove(start, start + GST_SECOND, kFrame), 0u) << "nothing earlier";
  EXPECT_EQ(gst::SegmentMove(start, start - 6 * GST_SECOND, kFrame), 0u) << "a damaged stamp";
}

TEST(ProgramStreamStart, NothingFromWhatIsNoProgramStreamOrIsDamaged) {
  EXPECT_FALSE(EarliestProgramStreamStamp(Bytes{}));
  EXPECT_FALSE(EarliestProgramStreamStamp(Join({ProgramPes(0xe0, kTicks)})));  // no pack first
  EXPECT_FALSE(EarliestProgramStreamStamp(Join({Pack(), ProgramPes(0xbd, kTicks, 0x20)})));
  const Bytes whole = Join({Pack(), ProgramPes(0xe0, 2 * kTicks), ProgramPes(0xc0, kTicks)});
  for (std::size_t size = 0; size < whole.size(); ++size) {
    const auto cut = EarliestProgramStreamStamp(Bytes(whole.begin(), whole.begin() + long(size)));
    if (cut) {
      EXPECT_EQ(*cut % kTicks, 0u) << size;
    }
  }
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    Bytes noise = Pack();
    for (int i = 0; i < 4000; ++i) noise.push_back(static_cast<std::uint8_t>(random() % 4));
    EarliestProgramStreamStamp(noise);  // reads only within the bytes
  }
}

}  // namespace
