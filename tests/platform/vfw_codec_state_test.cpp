// A codec's state block: values round-trip, the size never moves with the
// values, and a damaged or foreign block changes nothing.

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "platform/vfw/codec_state.h"
#include "tests/support/fake_codecs.h"

namespace {

using test_support::FakeSettings;

TEST(CodecState, ValuesOfEveryKindRoundTripInABlockOfFixedSize) {
  FakeSettings settings;
  const std::size_t size = vfw::StateSize("fake", settings);
  ASSERT_GT(size, 0u);

  ASSERT_TRUE(settings.Set("bitrate", std::uint64_t{100000}));
  ASSERT_TRUE(settings.Set("offset", std::int64_t{-10}));
  ASSERT_TRUE(settings.Set("quality", 0.1 + 0.2));  // not exact in decimal
  ASSERT_TRUE(settings.Set("two-pass", true));
  ASSERT_TRUE(settings.Set("mode", std::int64_t{1}));
  ASSERT_TRUE(settings.Set("features", std::int64_t{5}));
  ASSERT_TRUE(settings.Set("label", std::string("line one\nback\\slash=x")));
  EXPECT_EQ(vfw::StateSize("fake", settings), size) << "the size must not follow the values";

  const auto block = vfw::SaveState("fake", settings);
  ASSERT_EQ(block.size(), size);

  FakeSettings restored;
  ASSERT_TRUE(vfw::ReadState("fake", restored, block));
  for (const auto& d : settings.Describe())
    EXPECT_EQ(restored.Get(d.name), settings.Get(d.name)) << d.name;
}

TEST(CodecState, ABlockTooSmallIsRefusedAndSettlesNothing) {
  FakeSettings settings;
  std::vector<std::uint8_t> small(vfw::StateSize("fake", settings) - 1, 0xAB);
  EXPECT_FALSE(vfw::WriteState("fake", settings, small));
  EXPECT_EQ(small.front(), 0xAB);
}

TEST(CodecState, AnotherCodecsStateChangesNothing) {
  FakeSettings author;
  ASSERT_TRUE(author.Set("bitrate", std::uint64_t{1234}));
  const auto block = vfw::SaveState("codec-a", author);

  FakeSettings other;
  EXPECT_FALSE(vfw::ReadState("codec-b", other, block));
  EXPECT_EQ(other.Get("bitrate"), property::PropertyValue(std::uint64_t{800}));
}

TEST(CodecState, DamagedBlocksChangeNothing) {
  FakeSettings author;
  ASSERT_TRUE(author.Set("bitrate", std::uint64_t{1234}));
  ASSERT_TRUE(author.Set("offset", std::int64_t{3}));
  const auto good = vfw::SaveState("fake", author);
  const std::string text(good.begin(), good.end());

  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string damaged = text;
    damaged.replace(damaged.find(from), from.size(), to);
    return std::vector<std::uint8_t>(damaged.begin(), damaged.end());
  };
  const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> cases = {
      {"empty", {}},
      {"header only, cut", std::vector<std::uint8_t>(good.begin(), good.begin() + 4)},
      {"a line cut short",
       std::vector<std::uint8_t>(good.begin(),
                                 good.begin() + static_cast<long>(text.find("offset=") + 8))},
      {"unknown name", replaced("offset=", "offzet=")},
      {"not a number", replaced("offset=3", "offset=x")},
      {"number with junk", replaced("offset=3", "offset=3k")},
      {"out of range", replaced("offset=3", "offset=99")},
      {"bad boolean", replaced("two-pass=0", "two-pass=2")},
      {"bad escape", replaced("label=", "label=\\q")},
      {"no equals sign", replaced("offset=3", "offset3")},
  };
  for (const auto& [what, block] : cases) {
    FakeSettings settings;
    EXPECT_FALSE(vfw::ReadState("fake", settings, block)) << what;
    // All or nothing: bitrate comes before the damage and must not be taken.
    EXPECT_EQ(settings.Get("bitrate"), property::PropertyValue(std::uint64_t{800})) << what;
    EXPECT_EQ(settings.Get("offset"), property::PropertyValue(std::int64_t{0})) << what;
  }
}

TEST(CodecState, RandomBytesNeverCrashAndChangeNothing) {
  std::mt19937 random(7);
  FakeSettings settings;
  const std::size_t size = vfw::StateSize("fake", settings);
  const auto good = vfw::SaveState("fake", settings);
  for (int round = 0; round < 500; ++round) {
    std::vector<std::uint8_t> block = good;
    // Flip a few bytes after the header, or fill the whole block.
    if (round % 5 == 0) {
      for (auto& b : block) b = static_cast<std::uint8_t>(random());
    } else {
      for (int flips = 0; flips < 3; ++flips)
        block[12 + random() % (size - 12)] = static_cast<std::uint8_t>(random());
    }
    FakeSettings target;
    if (!vfw::ReadState("fake", target, block)) {
      EXPECT_EQ(target.Get("bitrate"), property::PropertyValue(std::uint64_t{800}));
    }
  }
}

TEST(CodecState, TextsLongerThanTheStateKeepsAreRefusedByTheDialog) {
  FakeSettings settings;
  vfw::StateBoundSettings bounded(settings);
  EXPECT_TRUE(bounded.Set("label", std::string(vfw::kStateTextCapacity, 'a')));
  // Each backslash is written twice.
  EXPECT_FALSE(bounded.Set("label", std::string(vfw::kStateTextCapacity / 2 + 1, '\\')));
  EXPECT_EQ(settings.Get("label"),
            property::PropertyValue(std::string(vfw::kStateTextCapacity, 'a')));

  // Set directly, a text that does not fit is left out of the state and
  // reading the state keeps that setting as it is.
  ASSERT_TRUE(settings.Set("label", std::string(vfw::kStateTextCapacity + 1, 'b')));
  ASSERT_TRUE(settings.Set("bitrate", std::uint64_t{99}));
  FakeSettings restored;
  ASSERT_TRUE(vfw::ReadState("fake", restored, vfw::SaveState("fake", settings)));
  EXPECT_EQ(restored.Get("label"), property::PropertyValue(std::string()));
  EXPECT_EQ(restored.Get("bitrate"), property::PropertyValue(std::uint64_t{99}));
}

}  // namespace
