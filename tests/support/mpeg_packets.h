#pragma once
// The start of an MPEG-2 PES packet as transport and program streams carry
// it, for tests that build such streams byte by byte.

#include <array>
#include <cstdint>

namespace test_support {

// Start code, stream `id`, packet `length` (0: unbounded) and a header that
// holds only the 33-bit time stamp `stamp` (90 kHz ticks).
inline std::array<std::uint8_t, 14> StampedPesStart(std::uint8_t id, std::uint16_t length,
                                                    std::uint64_t stamp) {
  return {0,
          0,
          1,
          id,
          static_cast<std::uint8_t>(length >> 8),
          static_cast<std::uint8_t>(length),
          0x80,
          0x80,
          5,
          static_cast<std::uint8_t>(0x21 | (stamp >> 29 & 0x0e)),
          static_cast<std::uint8_t>(stamp >> 22),
          static_cast<std::uint8_t>(stamp >> 14 | 1),
          static_cast<std::uint8_t>(stamp >> 7),
          static_cast<std::uint8_t>(stamp << 1 | 1)};
}

}  // namespace test_support
