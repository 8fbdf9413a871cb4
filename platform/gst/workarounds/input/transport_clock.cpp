#include "platform/gst/workarounds/input/transport_clock.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <utility>

#include "platform/gst/formats/mpeg_packets.h"
#include "platform/gst/formats/mpeg_stamp.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/pad_probe.h"
#include "platform/gst/workarounds/element_trial.h"
#include "platform/gst/workarounds/registry.h"
#include "platform/threads/thread_order.h"

namespace gst {

namespace {

constexpr std::size_t kPacket = 188;
constexpr std::uint8_t kSync = 0x47;
// How far into a file the clock is looked for, and in what steps.
constexpr std::size_t kMostRead = std::size_t{4} << 20;
constexpr std::size_t kStep = std::size_t{256} << 10;
// What tells a transport stream from any other file.
constexpr std::size_t kFirstStep = std::size_t{4} << 10;
// The demuxer gives the clock up after 0.5 s of a stream; 90 kHz units.
constexpr std::uint64_t kTooLongWithoutClock = 90'000 * 4 / 10;

// Packets of 188 bytes, or of 192 with a 4-byte time before each (camcorders).
struct Layout {
  std::size_t size;
  std::size_t sync;  // where the 188 bytes start within a packet
};

std::optional<Layout> LayoutOf(std::span<const std::uint8_t> head) {
  for (const Layout layout : {Layout{kPacket, 0}, Layout{kPacket + 4, 4}}) {
    if (head.size() < 3 * layout.size) continue;
    bool synced = true;
    for (std::size_t i = 0; i < 3 && synced; ++i)
      synced = head[i * layout.size + layout.sync] == kSync;
    if (synced) return layout;
  }
  return std::nullopt;
}

struct Packet {
  std::uint16_t pid = 0;
  bool clock = false;                // carries a PCR
  std::optional<std::uint64_t> pts;  // starts a PES stamped so
};

// One 188-byte packet; nothing when it is not one.
std::optional<Packet> Read(std::span<const std::uint8_t> p) {
  if (p.size() < kPacket || p[0] != kSync) return std::nullopt;
  Packet packet;
  packet.pid = static_cast<std::uint16_t>((p[1] & 0x1f) << 8 | p[2]);
  const bool starts = (p[1] & 0x40) != 0;
  const int control = p[3] >> 4 & 3;
  std::size_t payload = 4;
  if (control & 2) {
    const std::size_t length = p[4];
    packet.clock = length >= 7 && (p[5] & 0x10) != 0;
    payload += 1 + length;
  }
  if (starts && (control & 1) && payload + 14 <= kPacket && p[payload] == 0 &&
      p[payload + 1] == 0 && p[payload + 2] == 1 && (p[payload + 7] & 0x80) != 0) {
    packet.pts = ReadMpegStamp(p.subspan(payload + 9).first<5>());
  }
  return packet;
}

// Whether some packet of `head` from the one at `from` on carries the clock.
bool HasClock(std::span<const std::uint8_t> head, Layout layout, std::size_t from) {
  for (std::size_t at = from; at + layout.size <= head.size(); at += layout.size) {
    const std::optional<Packet> packet = Read(head.subspan(at + layout.sync, kPacket));
    if (!packet) return false;
    if (packet->clock) return true;
  }
  return false;
}

GstPadProbeReturn OnBuffer(GstPad*, GstPadProbeInfo* info, gpointer data) {
  const ClockMove& move = *static_cast<ClockMove*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!buffer || !GST_BUFFER_OFFSET_IS_VALID(buffer)) return GST_PAD_PROBE_OK;
  const std::uint64_t from = GST_BUFFER_OFFSET(buffer);
  const std::uint64_t to = from + gst_buffer_get_size(buffer);
  const std::uint64_t end = move.start + move.bytes.size();
  const std::uint64_t first = std::max(from, move.start);
  const std::uint64_t last = std::min(to, end);
  if (first >= last) return GST_PAD_PROBE_OK;
  buffer = gst_buffer_make_writable(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  const BufferMapping mapping(buffer, GST_MAP_WRITE);
  if (!mapping || mapping.bytes().size() < last - from) return GST_PAD_PROBE_OK;
  std::memcpy(mapping.bytes().data() + (first - from), move.bytes.data() + (first - move.start),
              last - first);
  return GST_PAD_PROBE_OK;
}

// Whether the demuxer, given `stream` whole, stamps what it puts out;
// nothing when it puts nothing out.
std::optional<bool> DemuxerStamps(std::vector<std::uint8_t> stream) {
  ElementTrial trial;
  GstElement* demuxer = trial.Add("tsdemux");
  if (!demuxer || !trial.Play(demuxer)) return std::nullopt;
  const PadPtr input(gst_element_get_static_pad(demuxer, "sink"));
  const CapsPtr caps(gst_caps_new_simple("video/mpegts", "systemstream", G_TYPE_BOOLEAN, TRUE,
                                         "packetsize", G_TYPE_INT, int{kPacket}, nullptr));
  if (!trial.Begin(input.get(), caps.get(), GST_FORMAT_BYTES)) return std::nullopt;
  trial.Push(input.get(), std::move(stream), GST_CLOCK_TIME_NONE, GST_CLOCK_TIME_NONE);
  trial.End(input.get());
  std::optional<bool> stamped;
  for (const ElementTrial::Received& end : trial.Ends())
    for (const ElementTrial::Received::Buffer& buffer : end.buffers)
      stamped = stamped.value_or(false) || GST_CLOCK_TIME_IS_VALID(buffer.pts);
  return stamped;
}

}  // namespace

bool TransportDemuxerGivesUpALateClock() {
  // ffmpeg's file of a picture that starts late: 0.7 s of sound, then the
  // picture's first packet with the clock, a little before the sound's time.
  constexpr std::uint16_t kProgramme = 0x1000;
  constexpr std::uint16_t kPicture = 0x100;
  constexpr std::uint16_t kSound = 0x101;
  constexpr std::uint64_t kStart = 90'000;
  constexpr std::uint64_t kTenth = 9'000;
  constexpr std::array<std::pair<std::uint16_t, std::uint8_t>, 2> kStreams{
      {{kPicture, 0x02}, {kSound, 0x03}}};  // MPEG-2 video, MPEG-1 audio
  std::vector<std::uint8_t> late = TransportTables(kProgramme, kPicture, kStreams);
  const auto add = [&late](std::uint16_t pid, std::optional<std::uint64_t> clock,
                           std::uint64_t stamp) {
    TransportPacket packet;
    packet.pid = pid;
    packet.clock = clock;
    packet.stamp = stamp;
    packet.stream = pid == kPicture ? 0xe0 : 0xc0;
    const std::vector<std::uint8_t> bytes = packet.Bytes();
    late.insert(late.end(), bytes.begin(), bytes.end());
  };
  for (std::uint64_t i = 0; i < 8; ++i) add(kSound, std::nullopt, kStart + i * kTenth);
  add(kPicture, kStart - kTenth / 10, kStart + 8 * kTenth);
  add(kSound, std::nullopt, kStart + 8 * kTenth);
  NumberTransportPackets(late);
  const std::optional<ClockMove> move = PlanClockMove(late);
  if (!move) return false;
  std::vector<std::uint8_t> moved = late;
  std::copy(move->bytes.begin(), move->bytes.end(),
            moved.begin() + static_cast<std::ptrdiff_t>(move->start));
  return DemuxerStamps(std::move(late)) == false && DemuxerStamps(std::move(moved)) == true;
}

std::optional<ClockMove> PlanClockMove(std::span<const std::uint8_t> head) {
  const std::optional<Layout> layout = LayoutOf(head);
  if (!layout) return std::nullopt;
  std::optional<std::size_t> firstTimed;
  std::map<std::uint16_t, std::pair<std::uint64_t, std::uint64_t>> spans;  // PTS from, to
  std::vector<std::uint16_t> pids;
  for (std::size_t i = 0; (i + 1) * layout->size <= head.size(); ++i) {
    const std::optional<Packet> packet =
        Read(head.subspan(i * layout->size + layout->sync, kPacket));
    if (!packet) return std::nullopt;
    if (!packet->clock) {
      pids.push_back(packet->pid);
      if (packet->pts) {
        if (!firstTimed) firstTimed = i;
        auto [span, fresh] = spans.try_emplace(packet->pid, *packet->pts, *packet->pts);
        if (!fresh) {
          span->second.first = std::min(span->second.first, *packet->pts);
          span->second.second = std::max(span->second.second, *packet->pts);
        }
      }
      continue;
    }
    // The clock's first packet. It moves only where a stream ran on too long
    // without it, and ahead of no packet of its own stream.
    const bool tooLong = std::any_of(spans.begin(), spans.end(), [](const auto& entry) {
      return entry.second.second - entry.second.first >= kTooLongWithoutClock;
    });
    if (!firstTimed || !tooLong ||
        std::find(pids.begin() + static_cast<std::ptrdiff_t>(*firstTimed), pids.end(),
                  packet->pid) != pids.end())
      return std::nullopt;
    ClockMove move;
    move.start = *firstTimed * layout->size;
    const auto packetAt = [&](std::size_t index) {
      return head.subspan(index * layout->size, layout->size);
    };
    const auto clock = packetAt(i);
    move.bytes.assign(clock.begin(), clock.end());
    const auto before = head.subspan(move.start, (i - *firstTimed) * layout->size);
    move.bytes.insert(move.bytes.end(), before.begin(), before.end());
    return move;
  }
  return std::nullopt;
}

void MoveTransportClockAhead(GstElement* source) {
  if (!source || !g_object_class_find_property(G_OBJECT_GET_CLASS(source), "location")) return;
  gchar* path = nullptr;
  g_object_get(source, "location", &path, nullptr);
  const CharPtr location(path);
  const PadPtr output(gst_element_get_static_pad(source, "src"));
  if (!location || !output) return;
  std::ifstream file(location.get(), std::ios::binary);
  std::vector<std::uint8_t> head;
  std::optional<Layout> layout;
  while (file && head.size() < kMostRead) {
    const std::size_t had = head.size();
    const std::size_t step = had == 0 ? kFirstStep : kStep;
    head.resize(had + step);
    file.read(reinterpret_cast<char*>(head.data() + had), static_cast<std::streamsize>(step));
    head.resize(had + static_cast<std::size_t>(file.gcount()));
    if (!layout) layout = LayoutOf(head);
    if (!layout || HasClock(head, *layout, had / layout->size * layout->size)) break;
  }
  std::optional<ClockMove> move = layout ? PlanClockMove(head) : std::nullopt;
  if (!move || !Engaged(Workaround::TransportClock)) return;
  // The probe owns the move, which goes when the pad does.
  auto owned = std::make_unique<ClockMove>(std::move(*move));
  threads::ReleaseState(owned.get());
  gst_pad_add_probe(output.get(),
                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                 GST_PAD_PROBE_TYPE_PUSH | GST_PAD_PROBE_TYPE_PULL),
                    &ShownToThreads<&OnBuffer>, owned.release(), [](gpointer data) {
                      threads::AcquireState(data);
                      delete static_cast<ClockMove*>(data);
                    });
}

}  // namespace gst
