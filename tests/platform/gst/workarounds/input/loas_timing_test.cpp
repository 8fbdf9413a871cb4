#include "platform/gst/workarounds/input/loas_timing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "platform/gst/formats/mpeg_packets.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using gst::LoasFrame;
using gst::LoasTiming;

constexpr GstClockTime kMs = GST_MSECOND;

Bytes Join(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// What the parser would be told of the frame at `offset`: kept or not, and
// when it plays.
struct Told {
  bool kept;
  GstClockTime time;
};

std::optional<Told> Ask(LoasTiming& timing, std::uint64_t offset, GstClockTime duration) {
  const auto frame = timing.At(offset);
  if (!frame) return std::nullopt;
  return Told{frame->kept, frame->packetTime + frame->index * duration};
}

// A stream that starts with its configuration and repeats it only now and
// then, in packets that do not keep to frames, one of them unstamped.
TEST(LoasTiming, EachFrameTakesItsPacketsTimeAndTheFramesBeforeItThere) {
  LoasTiming timing;
  const Bytes configured = LoasFrame(31, true);
  const Bytes plain = LoasFrame(9, false);
  const Bytes big = LoasFrame(200, false);
  // Packet 1: C, p, p and the first byte of `big`.
  Bytes first = Join({configured, plain, plain, {big.begin(), big.begin() + 1}});
  // Packet 2: the rest of `big` (its header too, split), then p, p.
  Bytes second = Join({{big.begin() + 1, big.end()}, plain, plain});
  const auto doubled = timing.Take(first, 1000 * kMs);
  ASSERT_TRUE(doubled.has_value()) << "the first configured frame goes in twice";
  EXPECT_EQ(*doubled, Join({configured, first}));
  EXPECT_FALSE(timing.Take(second, 1100 * kMs).has_value()) << "and only once";
  EXPECT_FALSE(timing.Take(Join({plain, plain}), GST_CLOCK_TIME_NONE).has_value());

  constexpr GstClockTime d = 21 * kMs;
  const std::uint64_t c = configured.size();
  EXPECT_FALSE(Ask(timing, 0, d)->kept) << "the copy is taken out";
  const std::vector<std::pair<std::uint64_t, GstClockTime>> expected{
      {c, 1000 * kMs},           // the configured frame, first in its packet
      {c + 31, 1000 * kMs + d},  // then the frames after it
      {c + 40, 1000 * kMs + 2 * d},
      {c + 49, 1000 * kMs + 3 * d},  // `big` starts in packet 1
      {c + 249, 1100 * kMs},         // the first frame that starts in packet 2
      {c + 258, 1100 * kMs + d},
      {c + 267, 1100 * kMs + 2 * d},  // the unstamped packet goes on from there
      {c + 276, 1100 * kMs + 3 * d}};
  for (const auto& [offset, time] : expected) {
    const auto told = Ask(timing, offset, d);
    ASSERT_TRUE(told.has_value()) << offset;
    EXPECT_TRUE(told->kept) << offset;
    EXPECT_EQ(told->time, time) << offset;
  }
}

// A recording that starts midway: half a frame, frames the decoder cannot
// use yet, then the configuration.
TEST(LoasTiming, ARecordingThatStartsMidwayKeepsFramesFromItsFirstConfiguration) {
  LoasTiming timing;
  const Bytes configured = LoasFrame(31, true);
  const Bytes plain = LoasFrame(9, false);
  const Bytes tail(5, 0x11);
  const Bytes packet = Join({tail, plain, plain, configured, plain});
  const auto doubled = timing.Take(packet, 500 * kMs);
  ASSERT_TRUE(doubled.has_value());
  constexpr GstClockTime d = 20 * kMs;
  EXPECT_FALSE(Ask(timing, 5, d)->kept) << "no configuration yet";
  EXPECT_FALSE(Ask(timing, 14, d)->kept);
  EXPECT_FALSE(Ask(timing, 23, d)->kept) << "the copy";
  const auto configuredFrame = Ask(timing, 54, d);
  ASSERT_TRUE(configuredFrame.has_value());
  EXPECT_TRUE(configuredFrame->kept);
  EXPECT_EQ(configuredFrame->time, 500 * kMs + 2 * d) << "the third frame of its packet";
  EXPECT_EQ(Ask(timing, 85, d)->time, 500 * kMs + 3 * d);
  EXPECT_FALSE(Ask(timing, 86, d).has_value()) << "no frame starts there";

  timing.Restart();
  EXPECT_FALSE(Ask(timing, 85, d).has_value()) << "a restart forgets the walk";

  // A stream that shows no configuration at all is left to the decoder.
  EXPECT_FALSE(timing.Take(Join({plain, plain}), 700 * kMs).has_value());
  EXPECT_TRUE(Ask(timing, 0, d)->kept);
}

// At each segment the parser counts its input from 0 again; what came
// before is not doubled again, and the decoder keeps its configuration.
TEST(LoasTiming, ASegmentStartsTheCountAgain) {
  LoasTiming timing;
  const Bytes configured = LoasFrame(31, true);
  const Bytes plain = LoasFrame(9, false);
  constexpr GstClockTime d = 20 * kMs;
  ASSERT_TRUE(timing.Take(Join({configured, plain}), 100 * kMs).has_value());
  EXPECT_FALSE(Ask(timing, 0, d)->kept);
  EXPECT_TRUE(Ask(timing, 31, d)->kept);
  timing.Rebase();
  EXPECT_FALSE(timing.Take(Join({plain, plain}), 900 * kMs).has_value());
  const auto first = Ask(timing, 0, d);
  ASSERT_TRUE(first.has_value());
  EXPECT_TRUE(first->kept) << "the decoder has had its configuration";
  EXPECT_EQ(first->time, 900 * kMs);
  EXPECT_EQ(Ask(timing, 9, d)->time, 900 * kMs + d);
}

// Bytes that are no LOAS stream, in packets of every size: nothing read
// outside them, and nothing but frames of theirs reported.
TEST(LoasTiming, NoiseIsWalkedWithinItsBytes) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  LoasTiming timing;
  Bytes given;  // what the parser is given, all of it
  int reported = 0;
  for (std::size_t size = 0; size < 300; ++size) {
    Bytes packet(size);
    for (auto& b : packet) b = static_cast<std::uint8_t>(byte(random));
    // Now and then a false sync word, with a length that runs past the end.
    if (size > 4 && size % 3 == 0) packet.insert(packet.end(), {0x56, 0xff, 0xff});
    const auto taken = timing.Take(packet, size * kMs);
    const Bytes& bytes = taken ? *taken : packet;
    given.insert(given.end(), bytes.begin(), bytes.end());
    for (std::uint64_t at = given.size() - bytes.size(); at < given.size(); ++at) {
      if (!timing.At(at)) continue;
      ++reported;
      ASSERT_LT(at + 1, given.size());
      EXPECT_TRUE(given[at] == 0x56 && (given[at + 1] & 0xe0) == 0xe0) << "no sync word at " << at;
    }
  }
  EXPECT_GT(reported, 0) << "no false frame was walked: the noise tests nothing";
}

}  // namespace
