#include "platform/gst/avi_times.h"

#include <cstdint>
#include <string_view>

#include "platform/com/format_blocks.h"
#include "platform/gst/element_maker.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/pad_probe.h"
#include "platform/threads/thread_order.h"

namespace gst {

namespace {

// What a WAVE format header can state: its block size has 16 bits.
constexpr int kMostBlock = 0xffff;

struct StreamState {
  bool reordered = false;
  bool stamped = false;  // the segment's first picture went on with its stamp
  std::optional<AdpcmBlockTimes> blocks;

  void Take(const GstCaps* caps) {
    reordered = ReordersPictures(caps);
    blocks = AdpcmBlockTimes::For(caps);
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

void OnPadAdded(GstElement*, GstPad* pad, gpointer) {
  // The pad owns the state: it goes with the probe when the pad does. Its
  // caps may have gone out before the pad was added.
  auto* state = new StreamState();
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

void OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer) {
  if (FactoryNameOf(element) == "avidemux")
    g_signal_connect(element, "pad-added", G_CALLBACK(&OnPadAdded), nullptr);
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
  if (decodebin && GST_IS_BIN(decodebin))
    g_signal_connect(decodebin, "deep-element-added", G_CALLBACK(&OnElementAdded), nullptr);
}

}  // namespace gst
