#include "platform/gst/workarounds/input/avi_times.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/com/format_blocks.h"
#include "platform/gst/element_maker.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/pad_probe.h"
#include "platform/gst/workarounds/element_trial.h"
#include "platform/gst/workarounds/registry.h"
#include "platform/threads/thread_order.h"

namespace gst {

namespace {

// What a WAVE format header can state: its block size has 16 bits.
constexpr int kMostBlock = 0xffff;

// The mends a run applies, as the registry found them when it was built;
// handed to the signal handlers in the pointer itself.
constexpr guint kUnstamp = 1;
constexpr guint kRestamp = 2;

struct StreamState {
  guint mends = 0;
  bool reordered = false;
  bool stamped = false;  // the segment's first picture went on with its stamp
  std::optional<AdpcmBlockTimes> blocks;

  void Take(const GstCaps* caps) {
    reordered = (mends & kUnstamp) && ReordersPictures(caps);
    blocks = (mends & kRestamp) ? AdpcmBlockTimes::For(caps) : std::nullopt;
  }
};

void Restamp(GstPadProbeInfo* info, const AdpcmBlockTimes& blocks) {
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!GST_BUFFER_PTS_IS_VALID(buffer) ||
      !blocks.TimedByBytes(gst_buffer_get_size(buffer), GST_BUFFER_DURATION(buffer)))
    return;
  buffer = gst_buffer_make_writable(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  GST_BUFFER_PTS(buffer) = blocks.TimeOf(GST_BUFFER_PTS(buffer));
  if (GST_BUFFER_DTS_IS_VALID(buffer)) GST_BUFFER_DTS(buffer) = GST_BUFFER_PTS(buffer);
  GST_BUFFER_DURATION(buffer) = blocks.LengthOf(gst_buffer_get_size(buffer));
}

// Takes the stamp off every keyframe but the segment's first: the first is
// shown first whatever the order, and it tells the decoder that the ticks
// are the pictures' times.
void Unstamp(GstPadProbeInfo* info, StreamState& state) {
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!GST_BUFFER_PTS_IS_VALID(buffer)) return;
  if (!state.stamped) {
    state.stamped = true;
    return;
  }
  buffer = gst_buffer_make_writable(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  GST_BUFFER_PTS(buffer) = GST_CLOCK_TIME_NONE;
}

GstPadProbeReturn OnStream(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& state = *static_cast<StreamState*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) &
      (GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_FLUSH)) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      state.Take(caps);
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT ||
               GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
      state.stamped = false;
    }
    return GST_PAD_PROBE_OK;
  }
  if (!GST_PAD_PROBE_INFO_BUFFER(info)) return GST_PAD_PROBE_OK;
  if (state.blocks) Restamp(info, *state.blocks);
  if (state.reordered) Unstamp(info, state);
  return GST_PAD_PROBE_OK;
}

void OnPadAdded(GstElement*, GstPad* pad, gpointer mends) {
  // The pad owns the state: it goes with the probe when the pad does. Its
  // caps may have gone out before the pad was added.
  auto* state = new StreamState();
  state->mends = GPOINTER_TO_UINT(mends);
  const CapsPtr caps(gst_pad_get_current_caps(pad));
  state->Take(caps.get());
  threads::ReleaseState(state);
  gst_pad_add_probe(
      pad,
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
      &ShownToThreads<&OnStream>, state, [](gpointer data) {
        threads::AcquireState(data);
        delete static_cast<StreamState*>(data);
      });
}

void OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer mends) {
  if (FactoryNameOf(element) == "avidemux")
    g_signal_connect(element, "pad-added", G_CALLBACK(&OnPadAdded), mends);
}

using Bytes = std::vector<std::uint8_t>;

// Appends `value` in `width` bytes, the least significant first; what
// comes after the first 8 is zeros.
void PutLittle(Bytes& out, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i)
    out.push_back(i >= 8 ? 0 : static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes Code(std::string_view code) { return Bytes(code.begin(), code.end()); }

// Fields of the given widths.
Bytes Little(std::initializer_list<std::pair<std::uint64_t, int>> fields) {
  Bytes out;
  for (const auto& [value, width] : fields) PutLittle(out, value, width);
  return out;
}

// Fields of 4 bytes each.
Bytes Dwords(std::initializer_list<std::uint64_t> fields) {
  Bytes out;
  for (const std::uint64_t value : fields) PutLittle(out, value, 4);
  return out;
}

Bytes Join(const std::vector<Bytes>& parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// A RIFF chunk of `id` that holds `parts`, padded to an even size.
Bytes Chunk(std::string_view id, const std::vector<Bytes>& parts) {
  const Bytes body = Join(parts);
  Bytes chunk = Code(id);
  PutLittle(chunk, body.size(), 4);
  chunk.insert(chunk.end(), body.begin(), body.end());
  if (body.size() % 2 != 0) chunk.push_back(0);
  return chunk;
}

Bytes List(std::string_view type, std::vector<Bytes> parts) {
  parts.insert(parts.begin(), Code(type));
  return Chunk("LIST", parts);
}

// An AVI file of one stream: its header's kind and handler, the scale,
// rate and sample size its times are counted in, its format, and its chunks
// (whether each is a keyframe), all in the index.
struct AviStream {
  std::string_view kind;
  std::string_view handler;
  std::uint32_t scale;
  std::uint32_t rate;
  std::uint32_t sampleSize;
  Bytes format;
  std::string_view chunkId;
  std::vector<std::pair<Bytes, bool>> chunks;
};

Bytes AviFile(const AviStream& stream) {
  constexpr std::uint32_t kHasIndex = 0x10;
  constexpr std::uint32_t kKeyframe = 0x10;
  const std::uint64_t count = stream.chunks.size();
  // Microseconds a frame, the most bytes a second, padding, flags, frames,
  // initial frames, streams, buffer size, width, height, and 4 reserved.
  const Bytes mainHeader = Dwords({1000000ULL * stream.scale / stream.rate, 0, 0, kHasIndex, count,
                                   0, 1, 0, 16, 16, 0, 0, 0, 0});
  // Flags, priority and language, initial frames, scale, rate, start,
  // length, buffer size, quality, sample size, and the frame's rectangle.
  const Bytes streamHeader = Join({Code(stream.kind), Code(stream.handler),
                                   Dwords({0, 0, 0, stream.scale, stream.rate, 0, count, 0,
                                           0xffffffff, stream.sampleSize, 0, 0})});
  std::vector<Bytes> data;
  Bytes index;
  std::uint64_t offset = 4;  // from the list's type
  for (const auto& [bytes, key] : stream.chunks) {
    data.push_back(Chunk(stream.chunkId, {bytes}));
    index.insert(index.end(), stream.chunkId.begin(), stream.chunkId.end());
    PutLittle(index, key ? kKeyframe : 0, 4);
    PutLittle(index, offset, 4);
    PutLittle(index, bytes.size(), 4);
    offset += data.back().size();
  }
  return Chunk(
      "RIFF",
      {Code("AVI "),
       List("hdrl", {Chunk("avih", {mainHeader}), List("strl", {Chunk("strh", {streamHeader}),
                                                                Chunk("strf", {stream.format})})}),
       List("movi", data), Chunk("idx1", {index})});
}

// What the installed reader gives of the file's stream.
struct Read {
  bool ended = false;
  std::vector<ElementTrial::Received::Buffer> buffers;
  CapsPtr caps;
};

Read ReadAvi(const AviStream& stream) {
  ElementTrial trial;
  GstElement* demuxer = trial.Add("avidemux");
  Read read;
  if (!demuxer) return read;
  read.ended = trial.Read(demuxer, demuxer, AviFile(stream));
  if (!trial.Ends().empty()) read.buffers = trial.Ends().front().buffers;
  if (trial.ReceivedCaps()) read.caps.Reset(gst_caps_ref(trial.ReceivedCaps()));
  return read;
}

}  // namespace

bool ReordersPictures(const GstCaps* caps) {
  if (!caps || gst_caps_is_empty(caps)) return false;
  const GstStructure* structure = gst_caps_get_structure(caps, 0);
  const std::string_view name = gst_structure_get_name(structure);
  int version = 0;
  gboolean system = FALSE;
  if (name == "video/mpeg") {
    gst_structure_get_boolean(structure, "systemstream", &system);
    return gst_structure_get_int(structure, "mpegversion", &version) && version <= 4 && !system;
  }
  // DivX 3 is Microsoft's MPEG-4, which has no B pictures.
  if (name == "video/x-divx")
    return gst_structure_get_int(structure, "divxversion", &version) && version >= 4;
  return name == "video/x-xvid";
}

std::optional<AdpcmBlockTimes> AdpcmBlockTimes::For(const GstCaps* caps) {
  if (!caps || gst_caps_is_empty(caps)) return std::nullopt;
  const GstStructure* structure = gst_caps_get_structure(caps, 0);
  if (std::string_view(gst_structure_get_name(structure)) != "audio/x-adpcm") return std::nullopt;
  const char* layout = gst_structure_get_string(structure, "layout");
  int rate = 0;
  int channels = 0;
  int blockAlign = 0;
  if (!layout || !gst_structure_get_int(structure, "rate", &rate) ||
      !gst_structure_get_int(structure, "channels", &channels) ||
      !gst_structure_get_int(structure, "block_align", &blockAlign) || rate <= 0 ||
      std::uint32_t(rate) > kMostWaveSampleRate || channels <= 0 || blockAlign > kMostBlock)
    return std::nullopt;
  // Each channel's block header holds its first sample (IMA: 4 bytes) or
  // first two (Microsoft: 7 bytes); the rest is 4 bits a sample.
  const bool ima = std::string_view(layout) == "dvi";
  if (!ima && std::string_view(layout) != "microsoft") return std::nullopt;
  const int header = (ima ? 4 : 7) * channels;
  const int firstSamples = ima ? 1 : 2;
  if (blockAlign <= header) return std::nullopt;
  const int samples = (blockAlign - header) * 2 / channels + firstSamples;
  // What the reader takes a block to hold: its bytes after the headers.
  const int readerSamples = (blockAlign - header) / 2 * 2;
  if (readerSamples <= 0) return std::nullopt;
  const auto readerByteRate =
      static_cast<int>(gst_util_uint64_scale_int(std::uint64_t(rate), blockAlign, readerSamples));
  if (readerByteRate <= 0) return std::nullopt;
  return AdpcmBlockTimes(rate, blockAlign, samples, readerByteRate);
}

GstClockTime AdpcmBlockTimes::TimeOf(GstClockTime stamp) const {
  const std::uint64_t bytes = gst_util_uint64_scale_round(stamp, readerByteRate_, GST_SECOND);
  return LengthOf(bytes);
}

GstClockTime AdpcmBlockTimes::LengthOf(std::uint64_t bytes) const {
  return gst_util_uint64_scale(bytes, std::uint64_t(samplesPerBlock_) * GST_SECOND,
                               std::uint64_t(blockAlign_) * std::uint64_t(rate_));
}

bool AdpcmBlockTimes::TimedByBytes(std::uint64_t bytes, GstClockTime duration) const {
  if (!GST_CLOCK_TIME_IS_VALID(duration)) return false;
  const GstClockTime byBytes = gst_util_uint64_scale(bytes, GST_SECOND, readerByteRate_);
  const GstClockTime slack = GST_MSECOND;
  return duration + slack >= byBytes && duration <= byBytes + slack &&
         LengthOf(bytes) > byBytes + slack;
}

void KeepAviStreamsInTime(GstElement* decodebin) {
  const guint mends = (Engaged(Workaround::AviKeyframeStamps) ? kUnstamp : 0U) |
                      (Engaged(Workaround::AviAdpcmTimes) ? kRestamp : 0U);
  if (mends != 0 && decodebin && GST_IS_BIN(decodebin))
    g_signal_connect(decodebin, "deep-element-added", G_CALLBACK(&OnElementAdded),
                     GUINT_TO_POINTER(mends));
}

// Three MPEG-4 part 2 pictures at 30 a second: a keyframe, a picture that
// depends on it, a keyframe.
bool AviDemuxerShowsKeyframesWhenDecoded() {
  // Its size, width, height, planes, depth, compression and picture size.
  const Bytes format = Join({Little({{40, 4}, {16, 4}, {16, 4}, {1, 2}, {24, 2}}), Code("XVID"),
                             Little({{16 * 16 * 3, 4}, {0, 16}})});
  const Read read =
      ReadAvi({.kind = "vids",
               .handler = "XVID",
               .scale = 1,
               .rate = 30,
               .sampleSize = 0,
               .format = format,
               .chunkId = "00dc",
               .chunks = {{Bytes(8, 0), true}, {Bytes(8, 1), false}, {Bytes(8, 2), true}}});
  return read.ended && read.buffers.size() == 3 && GST_CLOCK_TIME_IS_VALID(read.buffers[2].pts);
}

// Two blocks of mono IMA ADPCM at 22.05 kHz, 2041 samples in each 1024 bytes.
bool AviDemuxerTimesAdpcmByHalfItsSamples() {
  constexpr int kBlock = 1024;
  constexpr int kSamples = 2041;
  constexpr int kRate = 22050;
  // The format tag, channels, rate, a byte rate the reader works out anew,
  // block size, bits a sample, and the samples a block holds.
  const Bytes format = Little({{0x11, 2},
                               {1, 2},
                               {kRate, 4},
                               {kRate * kBlock / kSamples, 4},
                               {kBlock, 2},
                               {4, 2},
                               {2, 2},
                               {kSamples, 2}});
  const Read read = ReadAvi({.kind = "auds",
                             .handler = std::string_view("\0\0\0\0", 4),
                             .scale = kSamples,
                             .rate = kRate,
                             .sampleSize = kBlock,
                             .format = format,
                             .chunkId = "00wb",
                             .chunks = {{Bytes(kBlock, 0), true}, {Bytes(kBlock, 0), true}}});
  const std::optional<AdpcmBlockTimes> blocks = AdpcmBlockTimes::For(read.caps.get());
  return read.ended && blocks && !read.buffers.empty() &&
         blocks->TimedByBytes(read.buffers[0].size, read.buffers[0].duration);
}

}  // namespace gst
