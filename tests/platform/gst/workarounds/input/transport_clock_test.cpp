#include "platform/gst/workarounds/input/transport_clock.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/gst/formats/mpeg_packets.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using gst::PlanClockMove;

constexpr std::uint16_t kSound = 0x101;
constexpr std::uint16_t kPicture = 0x100;

// One 188-byte packet of `pid`: with the programme's clock, or starting a
// PES stamped `pts` (90 kHz), or neither; filled with `fill`.
Bytes Packet(std::uint16_t pid, bool clock, long long pts, std::uint8_t fill = 0xaa) {
  gst::TransportPacket packet;
  packet.pid = pid;
  packet.fill = fill;
  if (clock) packet.clock = 125'000;
  if (pts >= 0) packet.stamp = static_cast<std::uint64_t>(pts);
  return packet.Bytes();
}

Bytes Join(const std::vector<Bytes>& packets, std::size_t prefix = 0) {
  Bytes all;
  for (const Bytes& packet : packets) {
    all.insert(all.end(), prefix, 0);
    all.insert(all.end(), packet.begin(), packet.end());
  }
  return all;
}

// The tables, then `seconds` of sound before the picture and its clock.
std::vector<Bytes> LateClock(double seconds, bool pictureBeforeClock = false) {
  const std::array<std::pair<std::uint16_t, std::uint8_t>, 2> streams{
      {{kPicture, 0x02}, {kSound, 0x03}}};
  const Bytes tables = gst::TransportTables(0x1000, kPicture, streams);
  std::vector<Bytes> packets{Bytes(tables.begin(), tables.begin() + 188),
                             Bytes(tables.begin() + 188, tables.end())};
  for (int i = 0; i * 0.1 <= seconds + 1e-9; ++i) {
    packets.push_back(Packet(kSound, false, 126'000 + i * 9'000));
    packets.push_back(Packet(kSound, false, -1));
  }
  if (pictureBeforeClock) packets.insert(packets.begin() + 3, Packet(kPicture, false, -1));
  packets.push_back(Packet(kPicture, true, 189'000, 0xbb));
  packets.push_back(Packet(kPicture, false, -1));
  return packets;
}

// ffmpeg's file when its picture starts 0.7 s after its sound: the clock
// goes ahead of the first stamped packet, the rest keeps its place.
TEST(TransportClock, TheClockGoesAheadOfASoundThatRunsTooLongWithoutIt) {
  for (const std::size_t prefix : {std::size_t{0}, std::size_t{4}}) {
    SCOPED_TRACE(prefix);
    const std::size_t size = 188 + prefix;
    const std::vector<Bytes> packets = LateClock(0.7);
    const Bytes file = Join(packets, prefix);
    const auto move = PlanClockMove(file);
    ASSERT_TRUE(move.has_value());
    EXPECT_EQ(move->start, 2 * size) << "after the tables";
    const std::size_t clock = packets.size() - 2;
    ASSERT_EQ(move->bytes.size(), (clock - 1) * size);
    std::vector<Bytes> moved{packets[clock]};
    moved.insert(moved.end(), packets.begin() + 2, packets.begin() + clock);
    EXPECT_EQ(move->bytes, Join(moved, prefix));
  }
}

TEST(TransportClock, LeavesAloneWhatTheDemuxerReadsWell) {
  EXPECT_FALSE(PlanClockMove(Join(LateClock(0.3)))) << "a clock soon enough";
  EXPECT_FALSE(PlanClockMove(Join(LateClock(0.7, true))))
      << "the clock would go ahead of its own stream's packet";
  Bytes damaged = Join(LateClock(0.7));
  damaged[5 * 188] = 0;
  EXPECT_FALSE(PlanClockMove(damaged)) << "a packet that lost its sync";
  EXPECT_FALSE(PlanClockMove(Bytes(4096, 0x47))) << "no packets";
  EXPECT_FALSE(PlanClockMove(Join({Packet(kSound, false, 0), Packet(kSound, false, 90'000)})))
      << "no clock at all in what was read";
}

}  // namespace
