#pragma once
// What the probe learnt about the opened source.

#include <cstdint>

struct MediaInfo {
  std::int64_t duration = 0;  // 100 ns units
  std::int32_t width = 0;     // pixels
  std::int32_t height = 0;
  double frameRate = 0;  // frames per second; finite and positive once probed
};
