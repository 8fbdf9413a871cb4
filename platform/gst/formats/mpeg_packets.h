#pragma once
// MPEG streams built byte by byte: the few packets a probe gives an installed
// demuxer or parser to learn how it behaves, and that tests build their cases
// from. Every field left unnamed holds the plainest value readers accept.

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace gst {

// One 188-byte packet of a transport stream.
struct TransportPacket {
  std::uint16_t pid = 0;
  std::optional<std::uint64_t> clock;  // the programme's clock (PCR) it carries, 90 kHz ticks
  // Starts a PES packet of `stream` stamped so (33 bits of 90 kHz ticks)
  // that ends with it.
  std::optional<std::uint64_t> stamp;
  std::uint8_t stream = 0xc0;
  std::uint8_t fill = 0xaa;  // the rest of its bytes

  std::vector<std::uint8_t> Bytes() const;
};

// Numbers the packets of each pid in `stream` (188-byte packets) one after
// the other, as their continuity counters do.
void NumberTransportPackets(std::span<std::uint8_t> stream);

// The two packets that make a transport stream of one programme: the table
// of programmes naming the programme's table at `programPid`, and that table
// listing `streams` (pid, stream type) with the clock on `clockPid`.
std::vector<std::uint8_t> TransportTables(
    std::uint16_t programPid, std::uint16_t clockPid,
    std::span<const std::pair<std::uint16_t, std::uint8_t>> streams);

// An MPEG-2 program stream's pack header, its clock reference at `clock`
// (90 kHz ticks).
std::vector<std::uint8_t> ProgramPack(std::uint64_t clock);

// A program stream's PES packet of stream `id` stamped `stamp`, whose
// payload of 21 bytes opens with `first` (a DVD private stream's sound or
// subpicture number).
std::vector<std::uint8_t> ProgramPes(std::uint8_t id, std::uint64_t stamp, std::uint8_t first = 0);

// A LOAS frame of `size` bytes (9 at least) holding LATM sound: with the
// stream's configuration (AAC-LC, 48 kHz, stereo) or using the one before.
std::vector<std::uint8_t> LoasFrame(std::size_t size, bool configured);

}  // namespace gst
