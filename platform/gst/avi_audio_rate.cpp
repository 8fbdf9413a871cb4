#include "platform/gst/avi_audio_rate.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <span>
#include <string_view>

#include "platform/gst/element_maker.h"
#include "platform/gst/wma_frame.h"

namespace gst {

namespace {

// Byte by byte: GStreamer's GST_READ_UINT32_LE loads unaligned words.
std::uint32_t Read32(std::span<const std::uint8_t> at) {
  return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
         std::uint32_t(at[3]) << 24;
}

std::uint16_t Read16(std::span<const std::uint8_t> at) { return std::uint16_t(at[0] | at[1] << 8); }

void Write32(std::span<std::uint8_t> at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) at[i] = std::uint8_t(value >> (8 * i));
}

bool Is(std::span<const std::uint8_t> at, std::string_view fourcc) {
  return at.size() >= 4 && std::memcmp(at.data(), fourcc.data(), 4) == 0;
}

// The body of each chunk in `list` (after the list's own four-letter type),
// with its four-letter id; stops at the first chunk that runs past the end.
template <typename Visit>
void ForEachChunk(std::span<std::uint8_t> list, Visit visit) {
  std::size_t at = 0;
  while (list.size() - at >= 8) {
    const std::uint32_t size = Read32(list.subspan(at + 4));
    if (size > list.size() - at - 8) return;
    visit(list.subspan(at, 4), list.subspan(at + 8, size));
    at += 8 + size + (size & 1);
    if (at > list.size()) return;
  }
}

// strh: the stream's type at 0, its time base (scale, rate) at 20 and 24,
// its length at 32. strf of sound: WAVEFORMATEX, the tag at 0, the sample
// rate at 4, the block size at 12.
void MendStream(std::span<std::uint8_t> strl, std::uint64_t carried) {
  std::span<std::uint8_t> strh;
  std::span<std::uint8_t> strf;
  ForEachChunk(strl, [&](std::span<std::uint8_t> id, std::span<std::uint8_t> body) {
    if (Is(id, "strh")) strh = body;
    if (Is(id, "strf")) strf = body;
  });
  if (strh.size() < 36 || strf.size() < 14 || !Is(strh, "auds")) return;
  const std::uint16_t tag = Read16(strf);
  if (tag != 0x160 && tag != 0x161) return;
  const std::uint32_t rate = Read32(strf.subspan(4));
  const std::uint16_t block = Read16(strf.subspan(12));
  if (rate == 0 || rate > 768000 || block == 0) return;
  const auto frame = std::uint32_t(WmaFrameLength(tag == 0x160 ? 1 : 2, int(rate)));
  const std::uint32_t common = std::gcd(frame, rate);
  Write32(strh.subspan(20), frame / common);
  Write32(strh.subspan(24), rate / common);
  if (carried > 0) Write32(strh.subspan(32), std::uint32_t(carried / block));
}

// A chunk header the writer gives out before each chunk of a stream's
// sound: "NNwb" and the chunk's size; the stream's number, or -1.
int SoundChunkStream(std::span<const std::uint8_t> buffer) {
  if (buffer.size() != 8 || buffer[2] != 'w' || buffer[3] != 'b') return -1;
  if (buffer[0] < '0' || buffer[0] > '9' || buffer[1] < '0' || buffer[1] > '9') return -1;
  return (buffer[0] - '0') * 10 + (buffer[1] - '0');
}

// Mends the Windows Media Audio streams of an AVI header (the writer's
// "RIFF" ... "hdrl" buffer) in place; leaves every other stream, and any
// header it cannot read whole, as it is.
void MendWindowsMediaAudioRates(std::span<std::uint8_t> header,
                                const std::array<std::uint64_t, 100>& carried) {
  if (header.size() < 24 || !Is(header, "RIFF") || !Is(header.subspan(12), "LIST")) return;
  const std::uint32_t hdrlSize = Read32(header.subspan(16));
  if (hdrlSize < 4 || hdrlSize > header.size() - 20) return;
  std::size_t stream = 0;
  ForEachChunk(header.subspan(24, hdrlSize - 4),
               [&](std::span<std::uint8_t> id, std::span<std::uint8_t> body) {
                 if (!Is(id, "LIST") || !Is(body, "strl")) return;
                 if (stream < carried.size()) MendStream(body.subspan(4), carried[stream]);
                 ++stream;
               });
}

// Bytes of sound carried by each stream, by its number in the file (00-99).
struct Watch {
  std::array<std::uint64_t, 100> carried{};
};

GstPadProbeReturn OnWritten(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& watch = *static_cast<Watch*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  const gsize size = gst_buffer_get_size(buffer);
  if (size == 8) {
    std::uint8_t bytes[8];
    gst_buffer_extract(buffer, 0, bytes, 8);
    if (const int stream = SoundChunkStream(bytes); stream >= 0)
      watch.carried[std::size_t(stream)] += Read32(std::span(bytes).subspan(4));
    return GST_PAD_PROBE_OK;
  }
  std::uint8_t start[24];
  if (size < 24 || gst_buffer_extract(buffer, 0, start, 24) != 24 || !Is(start, "RIFF") ||
      !Is(std::span(start).subspan(8), "AVI ") || !Is(std::span(start).subspan(12), "LIST") ||
      !Is(std::span(start).subspan(20), "hdrl"))
    return GST_PAD_PROBE_OK;
  buffer = gst_buffer_make_writable(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READWRITE)) return GST_PAD_PROBE_OK;
  MendWindowsMediaAudioRates(std::span(map.data, map.size), watch.carried);
  gst_buffer_unmap(buffer, &map);
  return GST_PAD_PROBE_OK;
}

}  // namespace

std::unique_ptr<AviAudioRate> AviAudioRate::For(GstElement* muxer) {
  if (FactoryNameOf(muxer) != "avimux") return nullptr;
  const PadPtr output(gst_element_get_static_pad(muxer, "src"));
  if (!output) return nullptr;
  return std::unique_ptr<AviAudioRate>(new AviAudioRate(output.get()));
}

AviAudioRate::AviAudioRate(GstPad* output)
    : probe_(output, GST_PAD_PROBE_TYPE_BUFFER, &OnWritten, new Watch,
             [](gpointer data) { delete static_cast<Watch*>(data); }) {}

}  // namespace gst
