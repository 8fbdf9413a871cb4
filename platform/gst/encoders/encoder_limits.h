#pragma once
// What some encoders need of their raw input beyond what their pad
// templates say (measured: they accept the caps, then fail to open).

#include <string_view>

namespace gst {

struct EncoderLimits {
  bool evenWidth = false;
  bool evenHeight = false;
  int maxRate = 0;      // samples per second; 0: no limit
  int maxChannels = 0;  // 0: no limit
  int minRate = 0;      // for a rate taken from the source; 0: no limit
};

EncoderLimits LimitsOf(std::string_view factory);

}  // namespace gst
