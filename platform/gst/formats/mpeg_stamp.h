#pragma once
// The 33-bit time stamp (90 kHz ticks) of an MPEG PES header, as transport
// and program streams both carry it: five bytes with marker bits between
// its parts.

#include <cstdint>
#include <span>

namespace gst {

inline std::uint64_t ReadMpegStamp(std::span<const std::uint8_t, 5> b) {
  return std::uint64_t(b[0] >> 1 & 0x07) << 30 | std::uint64_t(b[1]) << 22 |
         std::uint64_t(b[2] >> 1) << 15 | std::uint64_t(b[3]) << 7 | std::uint64_t(b[4]) >> 1;
}

}  // namespace gst
