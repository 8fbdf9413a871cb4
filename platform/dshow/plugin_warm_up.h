#pragma once
// Loads, on a thread of its own, the media plugins that probing and
// converting most sources need first: libav's decoders and encoders above
// all, a tenth of a second with their libraries. A program that converts at
// once overlaps that with its own start instead of making the source's first
// probe wait for it. Call after Initialise; the destructor waits for the
// loading to end.

#include <thread>

namespace dshow {

class PluginWarmUp {
 public:
  PluginWarmUp();
  ~PluginWarmUp();
  PluginWarmUp(const PluginWarmUp&) = delete;
  PluginWarmUp& operator=(const PluginWarmUp&) = delete;

 private:
  std::thread loader_;
};

}  // namespace dshow
