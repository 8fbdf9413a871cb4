#include "platform/gst/program_stream_start.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "tests/support/mpeg_packets.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using gst::EarliestProgramStreamStamp;

constexpr std::uint64_t kTicks = 90000;  // a second

Bytes Pack() { return {0, 0, 1, 0xba, 0x44, 0, 4, 0, 4, 1, 1, 0x89, 0xc3, 0xf8}; }

Bytes Join(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// An MPEG-2 PES packet of stream `id` stamped `stamp`, whose payload opens
// with `first` (a DVD private stream's sound or subpicture number).
Bytes Pes(std::uint8_t id, std::uint64_t stamp, std::uint8_t first = 0) {
  constexpr std::uint8_t kSize = 3 + 5 + 1 + 20;
  Bytes packet(6 + kSize, 0);
  const auto head = test_support::StampedPesStart(id, kSize, stamp);
  packet[head.size()] = first;
  std::copy(head.begin(), head.end(), packet.begin());
  return packet;
}

TEST(ProgramStreamStart, TheEarliestSoundOrPictureStampAnywhereInTheHead) {
  // A DVD title's second part: pictures first, then sound stamped earlier,
  // a subpicture stamped earlier still (not a stream that starts the file).
  const Bytes head = Join({Pack(), Pes(0xe0, 466 * kTicks / 100), Pack(),
                           Pes(0xbd, 30 * kTicks / 100, 0x20), Pes(0xbd, 425 * kTicks / 100, 0x80),
                           Pes(0xc0, 430 * kTicks / 100), Pes(0xe0, 100 * kTicks / 100)});
  EXPECT_EQ(EarliestProgramStreamStamp(head), 425 * kTicks / 100);
  // A stamp past 32 bits of the 33.
  EXPECT_EQ(EarliestProgramStreamStamp(Join({Pack(), Pes(0xe0, (1ull << 32) + 7)})),
            (1ull << 32) + 7);
}

TEST(ProgramStreamStart, SegmentsMoveByTheWholePicturesOfTheLead) {
  // NTSC's picture, from the sequence header in the picture's first packet.
  Bytes video = Pes(0xe0, kTicks);
  const Bytes sequence{0, 0, 1, 0xb3, 0x2d, 0x01, 0xe0, 0x24};
  std::copy(sequence.begin(), sequence.end(), video.end() - 12);
  EXPECT_EQ(gst::ProgramStreamFrameDuration(Join({Pack(), video})),
            gst_util_uint64_scale_int(GST_SECOND, 1001, 30000));
  EXPECT_FALSE(gst::ProgramStreamFrameDuration(Join({Pack(), Pes(0xe0, kTicks)})));

  constexpr GstClockTime kFrame = 40 * GST_MSECOND;
  const GstClockTime start = 64660 * GST_MSECOND;
  EXPECT_EQ(gst::SegmentMove(start, start - 413 * GST_MSECOND, kFrame), 400 * GST_MSECOND);
  EXPECT_EQ(gst::SegmentMove(start, start - 5 * GST_MSECOND, kFrame), 0u) << "under a picture";
  EXPECT_EQ(gst::SegmentMove(start, start + GST_SECOND, kFrame), 0u) << "nothing earlier";
  EXPECT_EQ(gst::SegmentMove(start, start - 6 * GST_SECOND, kFrame), 0u) << "a damaged stamp";
}

TEST(ProgramStreamStart, NothingFromWhatIsNoProgramStreamOrIsDamaged) {
  EXPECT_FALSE(EarliestProgramStreamStamp(Bytes{}));
  EXPECT_FALSE(EarliestProgramStreamStamp(Join({Pes(0xe0, kTicks)})));  // no pack first
  EXPECT_FALSE(EarliestProgramStreamStamp(Join({Pack(), Pes(0xbd, kTicks, 0x20)})));
  const Bytes whole = Join({Pack(), Pes(0xe0, 2 * kTicks), Pes(0xc0, kTicks)});
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
