#include "platform/gst/formats/mpeg_packets.h"

#include <algorithm>
#include <array>
#include <map>

namespace gst {

namespace {

constexpr std::size_t kPacket = 188;

void Put(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
  for (int i = size - 1; i >= 0; --i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// The CRC that ends a table's section (MPEG-2's CRC-32: not reflected, no
// final inversion).
std::uint32_t SectionCrc(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xffffffff;
  for (const std::uint8_t byte : bytes) {
    crc ^= std::uint32_t{byte} << 24;
    for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000 ? crc << 1 ^ 0x04c11db7 : crc << 1;
  }
  return crc;
}

// A packet of `pid` that carries the section `body` (table id to the last
// byte before the CRC), its length filled in.
std::vector<std::uint8_t> TablePacket(std::uint16_t pid, std::vector<std::uint8_t> body) {
  const std::size_t length = body.size() - 3 + 4;
  body[1] = static_cast<std::uint8_t>(0xb0 | length >> 8);
  body[2] = static_cast<std::uint8_t>(length);
  Put(body, SectionCrc(body), 4);
  // The section starts in the packet (no pointer to a later start); the
  // rest is stuffing.
  std::vector<std::uint8_t> packet(kPacket, 0xff);
  packet[0] = 0x47;
  packet[1] = static_cast<std::uint8_t>(0x40 | pid >> 8);
  packet[2] = static_cast<std::uint8_t>(pid);
  packet[3] = 0x10;
  packet[4] = 0;
  std::copy(body.begin(), body.end(), packet.begin() + 5);
  return packet;
}

// The start of an MPEG-2 PES packet: start code, stream `id`, packet
// `length` and a header that holds only the time stamp `stamp`.
std::array<std::uint8_t, 14> StampedPesStart(std::uint8_t id, std::uint16_t length,
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

}  // namespace

std::vector<std::uint8_t> TransportPacket::Bytes() const {
  std::vector<std::uint8_t> p(kPacket, fill);
  p[0] = 0x47;
  p[1] = static_cast<std::uint8_t>((stamp ? 0x40 : 0) | (pid >> 8 & 0x1f));
  p[2] = static_cast<std::uint8_t>(pid);
  p[3] = 0x10;  // a payload only
  std::size_t payload = 4;
  if (clock) {
    p[3] = 0x30;  // an adaptation field, then the payload
    p[4] = 7;
    p[5] = 0x10;  // a PCR follows: its 33-bit base, then an extension of 0
    p[6] = static_cast<std::uint8_t>(*clock >> 25);
    p[7] = static_cast<std::uint8_t>(*clock >> 17);
    p[8] = static_cast<std::uint8_t>(*clock >> 9);
    p[9] = static_cast<std::uint8_t>(*clock >> 1);
    p[10] = static_cast<std::uint8_t>((*clock & 1) << 7 | 0x7e);
    p[11] = 0;
    payload = 12;
  }
  if (stamp) {
    const auto pes =
        StampedPesStart(stream, static_cast<std::uint16_t>(kPacket - payload - 6), *stamp);
    std::copy(pes.begin(), pes.end(), p.begin() + static_cast<std::ptrdiff_t>(payload));
  }
  return p;
}

void NumberTransportPackets(std::span<std::uint8_t> stream) {
  std::map<std::uint16_t, std::uint8_t> next;
  for (std::size_t at = 0; at + kPacket <= stream.size(); at += kPacket) {
    std::uint8_t& counter =
        next[static_cast<std::uint16_t>((stream[at + 1] & 0x1f) << 8 | stream[at + 2])];
    stream[at + 3] = static_cast<std::uint8_t>((stream[at + 3] & 0xf0) | counter);
    counter = (counter + 1) & 0x0f;
  }
}

std::vector<std::uint8_t> TransportTables(
    std::uint16_t programPid, std::uint16_t clockPid,
    std::span<const std::pair<std::uint16_t, std::uint8_t>> streams) {
  // Programme 1 of stream 1, version 0, current.
  std::vector<std::uint8_t> programs{0x00, 0, 0, 0x00, 0x01, 0xc1, 0x00, 0x00, 0x00, 0x01};
  Put(programs, 0xe000u | programPid, 2);
  std::vector<std::uint8_t> programme{0x02, 0, 0, 0x00, 0x01, 0xc1, 0x00, 0x00};
  Put(programme, 0xe000u | clockPid, 2);
  Put(programme, 0xf000, 2);  // no descriptors
  for (const auto& [pid, type] : streams) {
    programme.push_back(type);
    Put(programme, 0xe000u | pid, 2);
    Put(programme, 0xf000, 2);
  }
  std::vector<std::uint8_t> tables = TablePacket(0, std::move(programs));
  const std::vector<std::uint8_t> second = TablePacket(programPid, std::move(programme));
  tables.insert(tables.end(), second.begin(), second.end());
  return tables;
}

std::vector<std::uint8_t> ProgramPack(std::uint64_t clock) {
  return {0, 0, 1, 0xba,
          static_cast<std::uint8_t>(0x44 | (clock >> 27 & 0x38) | (clock >> 28 & 0x03)),
          static_cast<std::uint8_t>(clock >> 20),
          static_cast<std::uint8_t>((clock >> 12 & 0xf8) | 0x04 | (clock >> 13 & 0x03)),
          static_cast<std::uint8_t>(clock >> 5),
          static_cast<std::uint8_t>((clock << 3 & 0xf8) | 0x04), 0x01,
          // 10.08 Mbit/s, as a DVD's packs say; no stuffing.
          0x01, 0x89, 0xc3, 0xf8};
}

std::vector<std::uint8_t> ProgramPes(std::uint8_t id, std::uint64_t stamp, std::uint8_t first) {
  constexpr std::uint16_t kLength = 3 + 5 + 21;
  std::vector<std::uint8_t> packet(6 + kLength, 0);
  const auto head = StampedPesStart(id, kLength, stamp);
  std::copy(head.begin(), head.end(), packet.begin());
  packet[head.size()] = first;
  return packet;
}

std::vector<std::uint8_t> LoasFrame(std::size_t size, bool configured) {
  std::vector<std::uint8_t> frame(std::max<std::size_t>(size, 9), 0);
  const std::size_t length = frame.size() - 3;
  frame[0] = 0x56;
  frame[1] = static_cast<std::uint8_t>(0xe0 | length >> 8);
  frame[2] = static_cast<std::uint8_t>(length);
  if (!configured) {
    frame[3] = 0x80;  // the same configuration as before
    return frame;
  }
  // A new configuration: version 0, one program of one layer, whose audio
  // specific configuration is AAC-LC (2) at 48 kHz (3) in stereo (2); every
  // frame of 1024 samples, the bit reservoir unstated, no other data, no CRC.
  static constexpr std::array<std::uint8_t, 6> kConfiguration{0x20, 0x00, 0x11, 0x90, 0x1f, 0xe0};
  std::copy(kConfiguration.begin(), kConfiguration.end(), frame.begin() + 3);
  return frame;
}

}  // namespace gst
