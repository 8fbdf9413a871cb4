#include "platform/gst/quantizer_estimate.h"

#include <cmath>
#include <limits>

namespace gst {

namespace {

// How bits fall with the quantizer when two measurements say nothing useful
// (equal sizes, or sizes that grow with the quantizer).
constexpr double kTypicalExponent = -0.6;

struct Point {
  double quantizer;
  double bits;
};

// Bits at `quantizer` on the power law through the two measured points
// around it (or the nearest two).
double Interpolate(const std::vector<Point>& points, double quantizer) {
  std::size_t upper = 1;
  while (upper + 1 < points.size() && points[upper].quantizer < quantizer) ++upper;
  const Point& a = points[upper - 1];
  const Point& b = points[upper];
  double exponent = std::log(b.bits / a.bits) / std::log(b.quantizer / a.quantizer);
  if (!std::isfinite(exponent) || exponent > -0.1) exponent = kTypicalExponent;
  return a.bits * std::pow(quantizer / a.quantizer, exponent);
}

}  // namespace

int QuantizerFor(double targetBitsPerFrame, double groupFrames,
                 const std::vector<FrameBits>& measured) {
  std::vector<Point> key;
  std::vector<Point> delta;
  for (const FrameBits& m : measured) {
    if (m.keyFrames == 0) continue;
    key.push_back({double(m.quantizer), m.keyBits / m.keyFrames});
    if (m.deltaFrames > 0) delta.push_back({double(m.quantizer), m.deltaBits / m.deltaFrames});
  }
  if (key.size() < 2 || !(targetBitsPerFrame > 0)) return kMaxQuantizer;
  // Without delta frames (or groups of one) every frame is a key frame.
  const bool deltas = delta.size() == key.size() && groupFrames > 1;
  auto average = [&](int quantizer) {
    const double keyBits = Interpolate(key, quantizer);
    if (!deltas) return keyBits;
    return (keyBits + (groupFrames - 1) * Interpolate(delta, quantizer)) / groupFrames;
  };
  int best = kMaxQuantizer;
  double bestMiss = std::numeric_limits<double>::infinity();
  for (int quantizer = kMinQuantizer; quantizer <= kMaxQuantizer; ++quantizer) {
    const double miss = std::fabs(std::log(average(quantizer) / targetBitsPerFrame));
    if (miss < bestMiss) {
      bestMiss = miss;
      best = quantizer;
    }
  }
  return best;
}

}  // namespace gst
