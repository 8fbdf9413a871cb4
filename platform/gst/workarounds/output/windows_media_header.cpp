#include "platform/gst/workarounds/output/windows_media_header.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

#include "platform/gst/element_maker.h"
#include "platform/gst/formats/asf_header.h"
#include "platform/gst/formats/writer_position.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/pipeline/running_time.h"
#include "platform/gst/workarounds/element_trial.h"
#include "platform/gst/workarounds/registry.h"

namespace gst {

struct WindowsMediaHeader::State {
  State(AsfHeaderFacts made, bool busiest) : facts(std::move(made)), statesBusiest(busiest) {}

  // What the streams carried into the writer, per second of running time
  // (their common origin); all streaming threads add to it.
  std::mutex mutex;
  // By second; kept sparse, so that a wild timestamp from a damaged source
  // costs one entry and not a table reaching up to it.
  std::map<std::uint64_t, std::uint64_t> bytesPerSecond;
  std::uint64_t bytes = 0;
  GstClockTime end = 0;
  // The codec data of each stream, by its number, where the writer leaves it out.
  std::map<unsigned, std::vector<std::uint8_t>> codecData;

  // Only the writer's thread touches these.
  AsfHeaderFacts facts;
  const bool statesBusiest;   // the maximum bitrate is what the streams carried
  WriterPosition position;    // in the file as the writer sees it
  std::uint64_t written = 0;  // how far it has written
  std::int64_t growth = 0;    // how much longer the header is than the writer's

  void Carried(GstBuffer* buffer) {
    const GstClockTime time = GST_BUFFER_PTS(buffer);
    if (!GST_CLOCK_TIME_IS_VALID(time)) return;
    std::lock_guard lock(mutex);
    bytesPerSecond[time / GST_SECOND] += gst_buffer_get_size(buffer);
    bytes += gst_buffer_get_size(buffer);
    end = std::max(end,
                   time + (GST_BUFFER_DURATION_IS_VALID(buffer) ? GST_BUFFER_DURATION(buffer) : 0));
  }

  void Configured(unsigned stream, GstCaps* caps) {
    const GValue* value =
        gst_caps_get_size(caps) > 0
            ? gst_structure_get_value(gst_caps_get_structure(caps, 0), "codec_data")
            : nullptr;
    if (!value || !GST_VALUE_HOLDS_BUFFER(value)) return;
    const BufferMapping mapping(gst_value_get_buffer(value), GST_MAP_READ);
    if (!mapping) return;
    std::lock_guard lock(mutex);
    codecData[stream].assign(mapping.bytes().begin(), mapping.bytes().end());
  }

  std::map<unsigned, std::vector<std::uint8_t>> CodecData() {
    std::lock_guard lock(mutex);
    return codecData;
  }

  // The streams' busiest second (never less than their average, for a file
  // shorter than one), with the file's share of packet headers and padding
  // on top; 0 before anything was carried.
  std::uint32_t MaxBitrate() {
    std::lock_guard lock(mutex);
    if (bytes == 0 || end == 0) return 0;
    std::uint64_t busiest = 0;
    for (const auto& entry : bytesPerSecond) busiest = std::max(busiest, entry.second);
    std::uint64_t bits = std::max(busiest * 8, gst_util_uint64_scale(bytes * 8, GST_SECOND, end));
    if (written > bytes) bits = gst_util_uint64_scale(bits, written, bytes);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(bits, UINT32_MAX));
  }
};

namespace {

using State = WindowsMediaHeader::State;
using SharedState = std::shared_ptr<State>;

State& StateOf(gpointer data) { return **static_cast<SharedState*>(data); }

GstPadProbeReturn OnCarried(GstPad*, GstPadProbeInfo* info, gpointer data) {
  StateOf(data).Carried(GST_PAD_PROBE_INFO_BUFFER(info));
  return GST_PAD_PROBE_OK;
}

// The header rewritten in front of what else the buffer holds; the buffer
// as it was when it holds no whole header.
GstBuffer* Mended(State& state, GstBuffer* buffer) {
  GstBuffer* mended = nullptr;
  {
    const BufferMapping mapping(buffer, GST_MAP_READ);
    if (!mapping) return buffer;
    const std::span<const std::uint8_t> bytes = mapping.bytes();
    const std::uint64_t size = AsfHeaderSize(bytes);
    AsfHeaderFacts facts = state.facts;
    if (state.statesBusiest) facts.maxBitrate = state.MaxBitrate();
    facts.codecData = state.CodecData();
    const auto header = RewriteAsfHeader(bytes, facts);
    if (!header) return buffer;
    mended = gst_buffer_new_allocate(nullptr, header->size() + bytes.size() - size, nullptr);
    gst_buffer_fill(mended, 0, header->data(), header->size());
    gst_buffer_fill(mended, header->size(), bytes.data() + size, bytes.size() - size);
    gst_buffer_copy_into(mended, buffer, GST_BUFFER_COPY_METADATA, 0, -1);
    state.growth = static_cast<std::int64_t>(header->size()) - static_cast<std::int64_t>(size);
  }
  gst_buffer_unref(buffer);
  return mended;
}

GstPadProbeReturn OnWritten(GstPad*, GstPadProbeInfo* info, gpointer data) {
  State& state = StateOf(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    const std::uint64_t size = gst_buffer_get_size(buffer);
    const std::uint64_t at = state.position.Place(size);
    if (at == 0) GST_PAD_PROBE_INFO_DATA(info) = Mended(state, buffer);
    state.written = std::max(state.written, at + size);
    return GST_PAD_PROBE_OK;
  }
  const GstSegment* segment = state.position.Follow(GST_PAD_PROBE_INFO_EVENT(info));
  // The writer moves within the file it knows; past the header, that file
  // lies further on by the header's growth.
  if (!segment || segment->start == 0 || state.growth == 0) return GST_PAD_PROBE_OK;
  GstSegment moved;
  gst_segment_copy_into(segment, &moved);
  moved.start = static_cast<guint64>(static_cast<std::int64_t>(moved.start) + state.growth);
  moved.time = moved.start;
  moved.position = moved.start;
  ReplaceSegment(info, moved);
  return GST_PAD_PROBE_OK;
}

bool IsLibavAsfWriter(GstElement* muxer) { return FactoryNameOf(muxer) == "avmux_asf"; }

// A sink pad's caps, for the codec data they carry.
struct CapsWatch {
  SharedState state;
  unsigned stream;
};

GstPadProbeReturn OnConfigured(GstPad*, GstPadProbeInfo* info, gpointer data) {
  const auto& watch = *static_cast<CapsWatch*>(data);
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
    GstCaps* caps = nullptr;
    gst_event_parse_caps(event, &caps);
    watch.state->Configured(watch.stream, caps);
  }
  return GST_PAD_PROBE_OK;
}

// How long the one buffer of a trial of the writer lasts.
constexpr GstClockTime kTrialBuffer = GST_SECOND / 25;

// The file libav's ASF writer makes of one stream of `caps` (asked for
// as `pad`, "video_%u" or "audio_%u") that carries one buffer of `size`
// bytes in its first 40 ms; empty when there is no such writer or it
// refuses the stream.
std::vector<std::uint8_t> AsfWriterTrial(const char* pad, GstCaps* caps, std::size_t size) {
  ElementTrial trial;
  GstElement* muxer = trial.Add("avmux_asf");
  if (!muxer) return {};
  const PadPtr input(gst_element_request_pad_simple(muxer, pad));  // before it plays
  if (!input || !trial.Play(muxer) || !trial.Begin(input.get(), caps) ||
      !trial.Push(input.get(), std::vector<std::uint8_t>(size, 0), 0, kTrialBuffer))
    return {};
  trial.End(input.get());
  if (!trial.Finish()) return {};
  return trial.Written();
}

// Sound that declares 8 kbit/s and carries 1000 bytes in its 40 ms
// (200 kbit/s).
constexpr int kDeclaredBitrate = 8000;
constexpr std::size_t kCarriedBytes = 1000;

std::optional<AsfFileProperties> DeclaredSoundTrial() {
  const CapsPtr caps(gst_caps_new_simple("audio/x-wma", "wmaversion", G_TYPE_INT, 2, "rate",
                                         G_TYPE_INT, 44100, "channels", G_TYPE_INT, 2,
                                         "block_align", G_TYPE_INT, int(kCarriedBytes), "bitrate",
                                         G_TYPE_INT, kDeclaredBitrate, nullptr));
  return ReadAsfFileProperties(AsfWriterTrial("audio_%u", caps.get(), kCarriedBytes));
}

}  // namespace

bool AsfWriterDropsCodecData() {
  // Four bytes, as a Windows Media Video 8 stream's codec data is long.
  const std::vector<std::uint8_t> codecData{0x4F, 0x00, 0x80, 0x00};
  BufferPtr data(gst_buffer_new_allocate(nullptr, codecData.size(), nullptr));
  gst_buffer_fill(data.get(), 0, codecData.data(), codecData.size());
  const CapsPtr caps(gst_caps_new_simple(
      "video/x-wmv", "wmvversion", G_TYPE_INT, 2, "width", G_TYPE_INT, 16, "height", G_TYPE_INT, 16,
      "framerate", GST_TYPE_FRACTION, 25, 1, "codec_data", GST_TYPE_BUFFER, data.get(), nullptr));
  const std::vector<std::uint8_t> file = AsfWriterTrial("video_%u", caps.get(), 64);
  return AsfHeaderSize(file) > 0 && AsfCodecData(file, 1) != codecData;
}

bool AsfWriterStatesNoCreationTime() {
  const auto stated = DeclaredSoundTrial();
  return stated && stated->creationTime <= FileTimeOf(0);
}

bool AsfWriterCountsDeclaredBitrates() {
  const auto stated = DeclaredSoundTrial();
  return stated && stated->maxBitrate < kCarriedBytes * 8 * GST_SECOND / kTrialBuffer;
}

std::unique_ptr<WindowsMediaHeader> WindowsMediaHeader::For(GstElement* muxer) {
  if (!IsLibavAsfWriter(muxer)) return nullptr;
  AsfHeaderFacts facts;
  if (Engaged(Workaround::AsfCreationTime))
    facts.creationTime = FileTimeOf(std::chrono::duration_cast<std::chrono::seconds>(
                                        std::chrono::system_clock::now().time_since_epoch())
                                        .count());
  facts.toolName = REELCAST_PRODUCT_NAME;
  facts.toolVersion = REELCAST_PRODUCT_VERSION;
  const bool busiest = Engaged(Workaround::AsfMaxBitrate);
  std::unique_ptr<WindowsMediaHeader> header(
      new WindowsMediaHeader(std::make_shared<State>(std::move(facts), busiest)));
  // Streams are numbered from 1 in the order their pads were asked for.
  struct Visit {
    WindowsMediaHeader* header;
    bool carried;
    bool withCodecData;
    unsigned stream = 0;
  } pads{header.get(), busiest, Engaged(Workaround::AsfCodecData)};
  gst_element_foreach_sink_pad(
      muxer,
      [](GstElement*, GstPad* pad, gpointer data) -> gboolean {
        auto& visit = *static_cast<Visit*>(data);
        if (visit.carried) visit.header->Watch(pad, GST_PAD_PROBE_TYPE_BUFFER, &OnCarried);
        ++visit.stream;
        if (!visit.withCodecData) return TRUE;
        if (const CapsPtr caps{gst_pad_get_current_caps(pad)})
          visit.header->state_->Configured(visit.stream, caps.get());
        visit.header->probes_.emplace_back(
            pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &OnConfigured,
            new CapsWatch{visit.header->state_, visit.stream},
            [](gpointer watch) { delete static_cast<CapsWatch*>(watch); });
        return TRUE;
      },
      &pads);
  PadPtr output(gst_element_get_static_pad(muxer, "src"));
  header->Watch(
      output.get(),
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
      &OnWritten);
  return header;
}

WindowsMediaHeader::WindowsMediaHeader(std::shared_ptr<State> state) : state_(std::move(state)) {}

void WindowsMediaHeader::Watch(GstPad* pad, GstPadProbeType type, GstPadProbeCallback callback) {
  // Each probe holds the state for as long as it may be called.
  probes_.emplace_back(pad, type, callback, new SharedState(state_),
                       [](gpointer data) { delete static_cast<SharedState*>(data); });
}

WindowsMediaHeader::~WindowsMediaHeader() = default;

}  // namespace gst
