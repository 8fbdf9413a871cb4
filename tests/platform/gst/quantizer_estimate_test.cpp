#include <gtest/gtest.h>

#include <cmath>

#include "platform/gst/quantizer_estimate.h"

namespace {

using gst::FrameBits;
using gst::QuantizerFor;

// Encodes of 25 frames (one key frame) whose bits follow exact power laws.
double KeyBits(double q) { return 200000 * std::pow(q / 3, -0.8); }
double DeltaBits(double q) { return 30000 * std::pow(q / 3, -0.6); }

std::vector<FrameBits> Measured() {
  std::vector<FrameBits> measured;
  for (int q : {3, 8, 21}) measured.push_back({q, KeyBits(q), 1, 24 * DeltaBits(q), 24});
  return measured;
}

double Average(int q, double group) { return (KeyBits(q) + (group - 1) * DeltaBits(q)) / group; }

TEST(QuantizerEstimate, FindsTheQuantizerThatMeetsTheTarget) {
  for (int expected : {2, 5, 8, 13, 21, 27, 31}) {
    for (double group : {12.0, 200.0}) {
      EXPECT_EQ(QuantizerFor(Average(expected, group), group, Measured()), expected)
          << "quantizer " << expected << ", group " << group;
    }
  }
}

TEST(QuantizerEstimate, KeyFramesWeighMoreInShortGroups) {
  // The same target needs a coarser quantizer when every 5th frame is a key frame.
  const double target = Average(10, 200);
  EXPECT_EQ(QuantizerFor(target, 200, Measured()), 10);
  EXPECT_GT(QuantizerFor(target, 5, Measured()), 10);
  // Groups of one are key frames only.
  EXPECT_EQ(QuantizerFor(KeyBits(13), 1, Measured()), 13);
}

TEST(QuantizerEstimate, StaysInTheEncodersRange) {
  EXPECT_EQ(QuantizerFor(Average(2, 200) * 10, 200, Measured()), gst::kMinQuantizer);
  EXPECT_EQ(QuantizerFor(Average(31, 200) / 10, 200, Measured()), gst::kMaxQuantizer);
}

TEST(QuantizerEstimate, UnusableMeasurementsGiveTheCoarsestQuantizer) {
  EXPECT_EQ(QuantizerFor(50000, 200, {}), gst::kMaxQuantizer);
  EXPECT_EQ(QuantizerFor(50000, 200, {Measured()[0]}), gst::kMaxQuantizer);
  // Encodes that produced nothing (a failed side encoder).
  EXPECT_EQ(QuantizerFor(50000, 200, {{3, 0, 0, 0, 0}, {8, 0, 0, 0, 0}}), gst::kMaxQuantizer);
  EXPECT_EQ(QuantizerFor(0, 200, Measured()), gst::kMaxQuantizer);
  // Sizes that do not fall with the quantizer: a typical slope stands in.
  const int q = QuantizerFor(50000, 200, {{3, 100000, 1, 2400000, 24}, {8, 100000, 1, 2400000, 24}});
  EXPECT_GE(q, gst::kMinQuantizer);
  EXPECT_LE(q, gst::kMaxQuantizer);
}

}  // namespace
