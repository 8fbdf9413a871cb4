#pragma once
// Loads, on a thread of its own, the media plugins that probing and
// converting most sources need first: libav's decoders and encoders above
// all, a tenth of a second with their libraries. A program that converts at
// once overlaps that with its own start instead of making the source's first
// probe wait for it. Call after Initialise; the thread joins when the
// returned handle goes.

#include <thread>

namespace dshow {

[[nodiscard]] std::jthread WarmUpPlugins();

}  // namespace dshow
