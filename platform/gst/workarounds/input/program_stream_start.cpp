#include "platform/gst/workarounds/input/program_stream_start.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/gst/element_maker.h"
#include "platform/gst/formats/mpeg_packets.h"
#include "platform/gst/formats/mpeg_stamp.h"
#include "platform/gst/pad_probe.h"
#include "platform/gst/pipeline/running_time.h"
#include "platform/gst/workarounds/element_trial.h"
#include "platform/gst/workarounds/registry.h"
#include "platform/threads/thread_order.h"

namespace gst {

namespace {

constexpr std::size_t kHeadBytes = 1 << 20;
// A segment is moved back by no more than sound is stored ahead of pictures.
constexpr GstClockTime kMostEarlier = 5 * GST_SECOND;

constexpr std::uint8_t kPack = 0xba;
constexpr std::uint8_t kPrivate = 0xbd;  // DVD sound (AC-3, DTS, LPCM) and subpictures

bool IsStartCode(std::span<const std::uint8_t> bytes, std::size_t at) {
  return at + 4 <= bytes.size() && bytes[at] == 0 && bytes[at + 1] == 0 && bytes[at + 2] == 1;
}

// Where a PES packet's time stamp starts, if it has one; `at` is its start
// code, `end` where the packet ends.
std::optional<std::size_t> StampOf(std::span<const std::uint8_t> bytes, std::size_t at,
                                   std::size_t end) {
  std::size_t q = at + 6;
  if (q < end && (bytes[q] & 0xc0) == 0x80) {  // MPEG-2
    if (q + 3 > end || (bytes[q + 1] & 0x80) == 0) return std::nullopt;
    return q + 3 + 5 <= end ? std::optional(q + 3) : std::nullopt;
  }
  while (q < end && bytes[q] == 0xff) ++q;  // MPEG-1 stuffing
  if (q < end && (bytes[q] & 0xc0) == 0x40) q += 2;
  if (q < end && (bytes[q] & 0xe0) == 0x20 && q + 5 <= end) return q;
  return std::nullopt;
}

// The stream a packet belongs to, for sound and pictures only: the private
// stream's sound is told apart by its first byte after the header.
std::optional<int> StreamOf(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t end) {
  const std::uint8_t id = bytes[at + 3];
  if (id >= 0xc0 && id <= 0xef) return id;
  if (id != kPrivate || at + 9 > end) return std::nullopt;
  std::size_t payload = at + 9 + bytes[at + 8];
  if ((bytes[at + 6] & 0xc0) != 0x80 || payload >= end) return std::nullopt;
  const std::uint8_t sub = bytes[payload];
  if (sub >= 0x80 && sub <= 0xaf) return 0x100 | sub;  // AC-3, DTS, LPCM
  return std::nullopt;
}

struct StreamStart {
  GstClockTime earliest;
  GstClockTime frame;
  bool done = false;  // a pad's first segment is the one the head tells of
};

GstPadProbeReturn OnEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& start = *static_cast<StreamStart*>(data);
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT || start.done) return GST_PAD_PROBE_OK;
  start.done = true;
  const GstSegment* given = nullptr;
  gst_event_parse_segment(event, &given);
  if (given->format != GST_FORMAT_TIME || given->rate <= 0) return GST_PAD_PROBE_OK;
  const GstClockTime by = SegmentMove(given->start, start.earliest, start.frame);
  if (by == 0) return GST_PAD_PROBE_OK;
  GstSegment moved;
  gst_segment_copy_into(given, &moved);
  moved.start -= by;
  moved.position = std::min(moved.position, moved.start);
  moved.time = moved.time > by ? moved.time - by : 0;
  ReplaceSegment(info, moved);
  return GST_PAD_PROBE_OK;
}

void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
  auto* start = new StreamStart(*static_cast<StreamStart*>(data));
  threads::ReleaseState(start);
  gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &ShownToThreads<&OnEvent>, start,
                    [](gpointer owned) {
                      threads::AcquireState(owned);
                      delete static_cast<StreamStart*>(owned);
                    });
}

void OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer data) {
  if (FactoryNameOf(element) != "mpegpsdemux") return;
  auto* start = new StreamStart(*static_cast<StreamStart*>(data));
  g_signal_connect_data(
      element, "pad-added", G_CALLBACK(&OnPadAdded), start,
      [](gpointer owned, GClosure*) { delete static_cast<StreamStart*>(owned); }, GConnectFlags{});
}

}  // namespace

std::optional<std::uint64_t> EarliestProgramStreamStamp(std::span<const std::uint8_t> head) {
  if (!IsStartCode(head, 0) || head[3] != kPack) return std::nullopt;
  std::map<int, std::uint64_t> firsts;
  std::size_t at = 0;
  while (IsStartCode(head, at)) {
    const std::uint8_t id = head[at + 3];
    std::size_t size = 0;
    if (id == kPack) {
      if (at + 14 > head.size()) break;
      // MPEG-2's pack header says how much stuffing follows it; MPEG-1's is 12 bytes.
      size = (head[at + 4] & 0xc0) == 0x40 ? 14 + (head[at + 13] & 0x07) : 12;
    } else if (id >= 0xbb) {
      if (at + 6 > head.size()) break;
      size = 6 + (std::size_t(head[at + 4]) << 8 | head[at + 5]);
      const std::size_t end = std::min(at + size, head.size());
      if (const std::optional<int> stream = StreamOf(head, at, end);
          stream && !firsts.contains(*stream))
        if (const std::optional<std::size_t> stamp = StampOf(head, at, end))
          firsts[*stream] = ReadMpegStamp(head.subspan(*stamp).first<5>());
    } else {
      break;  // not a program stream's structure: stop where it is lost
    }
    at += size;
  }
  if (firsts.empty()) return std::nullopt;
  return std::min_element(firsts.begin(), firsts.end(),
                          [](const auto& a, const auto& b) { return a.second < b.second; })
      ->second;
}

std::optional<GstClockTime> ProgramStreamFrameDuration(std::span<const std::uint8_t> head) {
  // MPEG-1 and MPEG-2's frame_rate_code, 1 to 8.
  static constexpr std::pair<int, int> kRates[] = {
      {24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1}, {50, 1}, {60000, 1001}, {60, 1}};
  for (std::size_t at = 0; at + 8 <= head.size(); ++at) {
    if (!IsStartCode(head, at) || head[at + 3] != 0xb3) continue;
    const int code = head[at + 7] & 0x0f;
    if (code < 1 || code > 8) continue;
    const auto [rate, scale] = kRates[code - 1];
    return gst_util_uint64_scale_int(GST_SECOND, scale, rate);
  }
  return std::nullopt;
}

GstClockTime SegmentMove(GstClockTime start, GstClockTime earliest, GstClockTime frame) {
  if (earliest >= start || start - earliest > kMostEarlier || frame == 0) return 0;
  // Whole pictures, so no stream starts with a gap a writer would close.
  return (start - earliest) / frame * frame;
}

void StartProgramStreamsTogether(GstElement* decodebin, const std::string& path) {
  if (!decodebin || !GST_IS_BIN(decodebin)) return;
  std::ifstream file(path, std::ios::binary);
  std::vector<std::uint8_t> head(4);
  if (!file.read(reinterpret_cast<char*>(head.data()), 4) || !IsStartCode(head, 0) ||
      head[3] != kPack)
    return;
  head.resize(kHeadBytes);
  file.read(reinterpret_cast<char*>(head.data() + 4), kHeadBytes - 4);
  head.resize(4 + static_cast<std::size_t>(file.gcount()));
  const std::optional<std::uint64_t> earliest = EarliestProgramStreamStamp(head);
  if (!earliest || !Engaged(Workaround::ProgramStreamStart)) return;
  // Without a sequence header (no MPEG video), a picture is taken to last
  // as long as in most such files, 40 ms.
  auto* start = new StreamStart{gst_util_uint64_scale(*earliest, GST_MSECOND / 10, 9),
                                ProgramStreamFrameDuration(head).value_or(40 * GST_MSECOND)};
  g_signal_connect_data(
      decodebin, "deep-element-added", G_CALLBACK(&OnElementAdded), start,
      [](gpointer owned, GClosure*) { delete static_cast<StreamStart*>(owned); }, GConnectFlags{});
}

bool ProgramStreamDemuxerStartsAtItsFirstStamp() {
  // A cut recording: each pack holds a picture, then the sound of 0.4 s
  // before it, stored beside it.
  constexpr std::uint64_t kTicks = 90'000;
  std::vector<std::uint8_t> cut;
  for (std::uint64_t i = 0; i < 6; ++i) {
    const std::uint64_t picture = kTicks + i * kTicks / 25;
    for (const auto& part : {ProgramPack(picture - kTicks / 2), ProgramPes(0xe0, picture),
                             ProgramPes(0xc0, picture - 2 * kTicks / 5)})
      cut.insert(cut.end(), part.begin(), part.end());
  }
  ElementTrial trial;
  GstElement* demuxer = trial.Add("mpegpsdemux");
  if (!demuxer || !trial.Read(demuxer, demuxer, std::move(cut))) return false;
  return std::any_of(trial.Ends().begin(), trial.Ends().end(), [](const auto& end) {
    return end.segment && !end.buffers.empty() &&
           GST_CLOCK_TIME_IS_VALID(end.buffers.front().pts) &&
           end.buffers.front().pts < end.segment->start;
  });
}

}  // namespace gst
