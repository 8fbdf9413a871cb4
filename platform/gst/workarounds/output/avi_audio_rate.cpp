#include "platform/gst/workarounds/output/avi_audio_rate.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <numeric>
#include <string_view>
#include <vector>

#include "platform/com/format_blocks.h"
#include "platform/gst/element_maker.h"
#include "platform/gst/formats/wma_frame.h"
#include "platform/gst/formats/writer_position.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/workarounds/element_trial.h"
#include "platform/gst/workarounds/registry.h"

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

// Where a stream header (strh) keeps the stream's time base (scale, rate)
// and its length; its type is at its start. A sound's format (strf) is a
// WAVEFORMATEX.
constexpr std::size_t kScaleAt = 20;
constexpr std::size_t kRateAt = 24;
constexpr std::size_t kLengthAt = 32;
constexpr std::size_t kStreamHeaderSize = 36;

// Mends one stream's list (strl); true when its time base was otherwise.
bool MendStream(std::span<std::uint8_t> strl, std::uint64_t carried) {
  std::span<std::uint8_t> strh;
  std::span<std::uint8_t> strf;
  ForEachChunk(strl, [&](std::span<std::uint8_t> id, std::span<std::uint8_t> body) {
    if (Is(id, "strh")) strh = body;
    if (Is(id, "strf")) strf = body;
  });
  if (strh.size() < kStreamHeaderSize || strf.size() < sizeof(WAVEFORMATEX) || !Is(strh, "auds"))
    return false;
  const std::uint16_t tag = Read16(strf.subspan(offsetof(WAVEFORMATEX, wFormatTag)));
  if (tag != WAVE_FORMAT_MSAUDIO1 && tag != WAVE_FORMAT_WMAUDIO2) return false;
  const std::uint32_t rate = Read32(strf.subspan(offsetof(WAVEFORMATEX, nSamplesPerSec)));
  const std::uint16_t block = Read16(strf.subspan(offsetof(WAVEFORMATEX, nBlockAlign)));
  if (rate == 0 || rate > kMostWaveSampleRate || block == 0) return false;
  const auto frame = std::uint32_t(WmaFrameLength(tag == WAVE_FORMAT_MSAUDIO1 ? 1 : 2, int(rate)));
  const std::uint32_t common = std::gcd(frame, rate);
  const std::uint64_t scale = Read32(strh.subspan(kScaleAt));
  const bool differed = scale * rate != std::uint64_t{Read32(strh.subspan(kRateAt))} * frame;
  Write32(strh.subspan(kScaleAt), frame / common);
  Write32(strh.subspan(kRateAt), rate / common);
  if (carried > 0) Write32(strh.subspan(kLengthAt), std::uint32_t(carried / block));
  return differed;
}

// A sound chunk's id, "NNwb": the stream's number NN; -1 for any other.
int SoundChunkStream(std::span<const std::uint8_t> id) {
  if (id[2] != 'w' || id[3] != 'b') return -1;
  if (id[0] < '0' || id[0] > '9' || id[1] < '0' || id[1] > '9') return -1;
  return (id[0] - '0') * 10 + (id[1] - '0');
}

struct Watch {
  WriterPosition position;
  AviSoundCarried sound;
};

GstPadProbeReturn OnWritten(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& watch = *static_cast<Watch*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    watch.position.Follow(GST_PAD_PROBE_INFO_EVENT(info));
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  const gsize size = gst_buffer_get_size(buffer);
  const std::uint64_t at = watch.position.Place(size);
  // The writer writes its header at the start, and again with its totals.
  if (at == 0) {
    buffer = gst_buffer_make_writable(buffer);
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    const BufferMapping header(buffer, GST_MAP_READWRITE);
    MendWindowsMediaAudioRates(header.bytes(), watch.sound.carried());
  }
  if (!watch.sound.Reads(at, size)) {
    watch.sound.Take(at, size, {});
    return GST_PAD_PROBE_OK;
  }
  const BufferMapping bytes(buffer, GST_MAP_READ);
  if (bytes) watch.sound.Take(at, size, bytes.bytes());
  return GST_PAD_PROBE_OK;
}

}  // namespace

bool AviSoundCarried::Reads(std::uint64_t position, std::uint64_t size) const {
  return position == walked_ && next_ < position + size;
}

void AviSoundCarried::Take(std::uint64_t position, std::uint64_t size,
                           std::span<const std::uint8_t> bytes) {
  if (position != walked_) return;
  for (std::uint64_t i = 0; i < size && i < bytes.size();) {
    if (walked_ + i < next_) {
      i = std::min(next_ - walked_, size);
      continue;
    }
    head_[held_++] = bytes[i++];
    if (held_ < head_.size()) continue;
    held_ = 0;
    const std::uint64_t body = walked_ + i;
    // A file and its lists hold chunks after their four-letter type.
    if (Is(head_, "RIFF") || Is(head_, "LIST")) {
      next_ = body + 4;
      continue;
    }
    const std::uint32_t length = Read32(std::span(head_).subspan(4));
    if (const int stream = SoundChunkStream(head_); stream >= 0)
      carried_[std::size_t(stream)] += length;
    next_ = body + length + (length & 1);
  }
  walked_ += size;
}

bool MendWindowsMediaAudioRates(std::span<std::uint8_t> header,
                                const std::array<std::uint64_t, 100>& carried) {
  if (header.size() < 24 || !Is(header, "RIFF") || !Is(header.subspan(8), "AVI ") ||
      !Is(header.subspan(12), "LIST") || !Is(header.subspan(20), "hdrl"))
    return false;
  const std::uint32_t hdrlSize = Read32(header.subspan(16));
  if (hdrlSize < 4 || hdrlSize > header.size() - 20) return false;
  std::size_t stream = 0;
  bool differed = false;
  ForEachChunk(header.subspan(24, hdrlSize - 4),
               [&](std::span<std::uint8_t> id, std::span<std::uint8_t> body) {
                 if (!Is(id, "LIST") || !Is(body, "strl")) return;
                 if (stream < carried.size())
                   differed = MendStream(body.subspan(4), carried[stream]) || differed;
                 ++stream;
               });
  return differed;
}

bool AviWriterRoundsWmaBlockRate() {
  ElementTrial trial;
  GstElement* muxer = trial.Add("avimux");
  if (!muxer) return false;
  const PadPtr input(gst_element_request_pad_simple(muxer, "audio_%u"));  // before it plays
  if (!input || !trial.Play(muxer)) return false;
  // As libav's encoder makes it at 128 kbit/s: 23.4375 blocks of 682 bytes
  // a second, whose byte rate over the block size is not whole.
  const CapsPtr caps(gst_caps_new_simple(
      "audio/x-wma", "wmaversion", G_TYPE_INT, 2, "rate", G_TYPE_INT, 48000, "channels", G_TYPE_INT,
      2, "block_align", G_TYPE_INT, 682, "bitrate", G_TYPE_INT, 128000, nullptr));
  if (!trial.Begin(input.get(), caps.get()) ||
      !trial.Push(input.get(), std::vector<std::uint8_t>(682, 0), 0, GST_SECOND * 2048 / 48000))
    return false;
  trial.End(input.get());
  if (!trial.Finish()) return false;
  std::vector<std::uint8_t> file = trial.Written();
  return MendWindowsMediaAudioRates(file, {});
}

std::unique_ptr<AviAudioRate> AviAudioRate::For(GstElement* muxer) {
  if (FactoryNameOf(muxer) != "avimux" || !Engaged(Workaround::AviWmaTimeBase)) return nullptr;
  const PadPtr output(gst_element_get_static_pad(muxer, "src"));
  if (!output) return nullptr;
  return std::unique_ptr<AviAudioRate>(new AviAudioRate(output.get()));
}

AviAudioRate::AviAudioRate(GstPad* output)
    : probe_(output,
             GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
             &OnWritten, new Watch, [](gpointer data) { delete static_cast<Watch*>(data); }) {}

}  // namespace gst
