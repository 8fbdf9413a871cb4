#include "platform/gst/workarounds/input/loas_timing.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/gst/element_maker.h"
#include "platform/gst/formats/mpeg_packets.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/pad_probe.h"
#include "platform/gst/workarounds/element_trial.h"
#include "platform/gst/workarounds/registry.h"
#include "platform/threads/thread_order.h"

namespace gst {

namespace {

// A LOAS frame starts with an 11-bit sync word and its 13-bit length; the
// first bit after them says whether it leaves out the configuration.
constexpr std::size_t kHeader = 3;
constexpr std::size_t kRead = kHeader + 1;
// Frames kept for a parser that puts none out, at most: a few seconds.
constexpr std::size_t kMostRemembered = 1024;

bool IsSync(std::uint8_t first, std::uint8_t second) {
  return first == 0x56 && (second & 0xe0) == 0xe0;
}

std::size_t SizeOf(std::uint8_t second, std::uint8_t third) {
  return ((std::size_t(second & 0x1f) << 8) | third) + kHeader;
}

}  // namespace

std::vector<LoasTiming::Found> LoasTiming::FramesIn(Walk& walk,
                                                    std::span<const std::uint8_t> packet,
                                                    std::uint64_t at) {
  std::vector<Found> found;
  const std::uint64_t end = at + packet.size();
  std::uint64_t from = at;  // where a lost walk looks for a frame again
  for (;;) {
    if (!walk.synced) {
      // A frame whose successor (when it starts in this packet) is one too.
      std::optional<std::uint64_t> start;
      for (std::uint64_t q = from; q + kRead <= end && !start; ++q) {
        const std::size_t i = q - at;
        if (!IsSync(packet[i], packet[i + 1])) continue;
        const std::size_t size = SizeOf(packet[i + 1], packet[i + 2]);
        const std::uint64_t after = q + size;
        if (size >= kRead &&
            (after + 1 >= end || IsSync(packet[after - at], packet[after + 1 - at])))
          start = q;
      }
      if (!start) return found;
      walk = Walk{true, *start, {}};
    }
    if (walk.next >= end) return found;  // it starts in a later packet
    if (walk.next < at && walk.header.size() < std::min<std::uint64_t>(kRead, at - walk.next)) {
      walk.synced = false;  // what came before was not all seen
      from = at;
      continue;
    }
    std::array<std::uint8_t, kRead> head{};
    std::size_t have = 0;
    for (std::uint64_t p = walk.next; p < walk.next + kRead && p < end; ++p)
      head[have++] = p < at ? walk.header[p - walk.next] : packet[p - at];
    if (have < kRead) {
      walk.header.assign(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(have));
      return found;
    }
    walk.header.clear();
    const std::size_t size = SizeOf(head[1], head[2]);
    if (!IsSync(head[0], head[1]) || size < kRead) {
      walk.synced = false;
      from = std::max(at, walk.next + 1);
      continue;
    }
    found.push_back({walk.next, size, (head[3] & 0x80) == 0});
    walk.next += size;
  }
}

std::optional<std::vector<std::uint8_t>> LoasTiming::Take(std::span<const std::uint8_t> packet,
                                                          GstClockTime time) {
  std::optional<std::vector<std::uint8_t>> doubled;
  std::optional<std::uint64_t> copyAt;
  if (!doubled_) {
    Walk trial = walk_;
    for (const Found& frame : FramesIn(trial, packet, taken_)) {
      if (!frame.configured || frame.at < taken_ || frame.at + frame.size > taken_ + packet.size())
        continue;
      const auto start = packet.begin() + static_cast<std::ptrdiff_t>(frame.at - taken_);
      doubled.emplace(packet.begin(), start);
      doubled->insert(doubled->end(), start, start + static_cast<std::ptrdiff_t>(frame.size));
      doubled->insert(doubled->end(), start, packet.end());
      copyAt = frame.at;
      doubled_ = true;
      break;
    }
  }
  const std::span<const std::uint8_t> bytes = doubled ? std::span(*doubled) : packet;
  bool begun = false;
  for (const Found& frame : FramesIn(walk_, bytes, taken_)) {
    if (frame.at == copyAt) {
      frames_.emplace_back(frame.at, Listed{false, frame.configured, GST_CLOCK_TIME_NONE, 0});
      continue;
    }
    // The packet's time is its first frame's; an unstamped packet goes on
    // from the last.
    if (frame.at >= taken_ && !begun) {
      begun = true;
      if (GST_CLOCK_TIME_IS_VALID(time)) {
        lastTime_ = time;
        lastIndex_ = 0;
      }
    }
    frames_.emplace_back(frame.at, Listed{true, frame.configured, lastTime_, lastIndex_++});
    configuredWalked_ = configuredWalked_ || frame.configured;
  }
  while (frames_.size() > kMostRemembered) frames_.pop_front();
  taken_ += bytes.size();
  return doubled;
}

std::optional<LoasTiming::Frame> LoasTiming::At(std::uint64_t offset) {
  while (!frames_.empty() && frames_.front().first < offset) frames_.pop_front();
  if (frames_.empty() || frames_.front().first != offset) return std::nullopt;
  const Listed listed = frames_.front().second;
  frames_.pop_front();
  // A decoder makes nothing of frames before it has a configuration, and
  // the times of the frames it made nothing of go to the ones after. A
  // stream that has shown none yet is left to the decoder.
  configuredOut_ = configuredOut_ || (listed.real && listed.configured);
  return Frame{listed.real && (configuredOut_ || !configuredWalked_), listed.packetTime,
               listed.index};
}

void LoasTiming::Rebase() {
  walk_ = Walk();
  taken_ = 0;
  lastTime_ = GST_CLOCK_TIME_NONE;
  lastIndex_ = 0;
  frames_.clear();
}

void LoasTiming::Restart() { *this = LoasTiming(); }

namespace {

struct ParserState {
  LoasTiming timing;
  bool loas = false;
};

GstPadProbeReturn OnParserInput(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& state = *static_cast<ParserState*>(data);
  if (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      const GstStructure* format = caps ? gst_caps_get_structure(caps, 0) : nullptr;
      const char* kind = format ? gst_structure_get_string(format, "stream-format") : nullptr;
      gboolean framed = FALSE;
      // Frames already cut apart pass the parser untouched (and unnumbered).
      if (format) gst_structure_get_boolean(format, "framed", &framed);
      state.loas = kind && std::string_view(kind) == "loas" && !framed;
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_STREAM_START) {
      state.timing.Restart();
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT ||
               GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
      state.timing.Rebase();
    }
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!state.loas || !buffer) return GST_PAD_PROBE_OK;
  std::optional<std::vector<std::uint8_t>> doubled;
  {
    const BufferMapping mapping(buffer, GST_MAP_READ);
    doubled = state.timing.Take(mapping.bytes(), GST_BUFFER_PTS(buffer));
  }
  if (!doubled) return GST_PAD_PROBE_OK;
  GstBuffer* replaced = gst_buffer_new_memdup(doubled->data(), doubled->size());
  gst_buffer_copy_into(replaced, buffer, GST_BUFFER_COPY_METADATA, 0, -1);
  gst_buffer_unref(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = replaced;
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn OnParserOutput(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& state = *static_cast<ParserState*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!state.loas || !buffer || !GST_BUFFER_OFFSET_IS_VALID(buffer)) return GST_PAD_PROBE_OK;
  const std::optional<LoasTiming::Frame> frame = state.timing.At(GST_BUFFER_OFFSET(buffer));
  if (!frame) return GST_PAD_PROBE_OK;
  if (!frame->kept) return GST_PAD_PROBE_DROP;
  if (!GST_CLOCK_TIME_IS_VALID(frame->packetTime) || !GST_BUFFER_DURATION_IS_VALID(buffer))
    return GST_PAD_PROBE_OK;
  buffer = gst_buffer_make_writable(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  GST_BUFFER_PTS(buffer) = frame->packetTime + frame->index * GST_BUFFER_DURATION(buffer);
  GST_BUFFER_DTS(buffer) = GST_BUFFER_PTS(buffer);
  return GST_PAD_PROBE_OK;
}

void OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer) {
  if (FactoryNameOf(element) != "aacparse") return;
  const PadPtr input(gst_element_get_static_pad(element, "sink"));
  const PadPtr output(gst_element_get_static_pad(element, "src"));
  if (!input || !output) return;
  // The parser owns the state; its pads, and their probes, go before it. The
  // bin adds the parser while its threads run.
  auto* state = new ParserState();
  g_object_set_data_full(G_OBJECT(element), "reelcast-loas-timing", state, [](gpointer data) {
    threads::AcquireState(data);
    delete static_cast<ParserState*>(data);
  });
  threads::ReleaseState(state);
  gst_pad_add_probe(
      input.get(),
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
      &ShownToThreads<&OnParserInput>, state, nullptr);
  gst_pad_add_probe(output.get(), GST_PAD_PROBE_TYPE_BUFFER, &ShownToThreads<&OnParserOutput>,
                    state, nullptr);
}

}  // namespace

void KeepLoasSoundInTime(GstElement* decodebin) {
  if (decodebin && GST_IS_BIN(decodebin) && Engaged(Workaround::LoasTiming))
    g_signal_connect(decodebin, "deep-element-added", G_CALLBACK(&OnElementAdded), nullptr);
}

bool AacParserForgetsLoasConfiguration() {
  ElementTrial trial;
  GstElement* parser = trial.Add("aacparse");
  if (!parser || !trial.Play(parser)) return false;
  const PadPtr input(gst_element_get_static_pad(parser, "sink"));
  const CapsPtr caps(gst_caps_new_simple("audio/mpeg", "mpegversion", G_TYPE_INT, 4,
                                         "stream-format", G_TYPE_STRING, "loas", nullptr));
  if (!trial.Begin(input.get(), caps.get())) return false;
  // A configuration, three frames that use it, and the next configuration.
  std::vector<std::uint8_t> frames;
  constexpr std::array kConfigured{true, false, false, false, true};
  for (const bool configured : kConfigured) {
    const std::vector<std::uint8_t> frame = LoasFrame(40, configured);
    frames.insert(frames.end(), frame.begin(), frame.end());
  }
  trial.Push(input.get(), std::move(frames), 0, GST_CLOCK_TIME_NONE);
  trial.End(input.get());
  if (trial.Ends().empty()) return false;
  const std::size_t out = trial.Ends().front().buffers.size();
  return out > 0 && out < kConfigured.size();
}

}  // namespace gst
