#include "platform/gst/aligned_audio.h"

#include <gst/audio/audio.h>

#include <cstdint>

#include "platform/gst/element_maker.h"
#include "platform/gst/gst_handle.h"

namespace gst {

namespace {

constexpr gsize kAlignment = 32;  // AVX
constexpr gsize kBlockSamples = 32;

struct Aligning {
  std::optional<GstAudioInfo> format;
  GstSegment segment{};
  BufferPtr carry;  // fewer than a block's samples, aligned, not yet given
  bool replaying = false;
};

// A new aligned buffer of `first` then `second` (either may be null), timed
// from the first of them; `samples` of them from the start.
GstBuffer* Joined(GstBuffer* first, GstBuffer* second, gsize bytes) {
  GstAllocationParams params;
  gst_allocation_params_init(&params);
  params.align = kAlignment - 1;
  GstBuffer* joined = gst_buffer_new_allocate(nullptr, bytes, &params);
  if (!joined) return nullptr;
  GstMapInfo into;
  if (gst_buffer_map(joined, &into, GST_MAP_WRITE)) {
    gsize at = 0;
    for (GstBuffer* part : {first, second}) {
      if (!part || at >= bytes) continue;
      at += gst_buffer_extract(part, 0, into.data + at, bytes - at);
    }
    gst_buffer_unmap(joined, &into);
  }
  gst_buffer_copy_into(joined, first ? first : second, GST_BUFFER_COPY_METADATA, 0, -1);
  return joined;
}

void Time(GstBuffer* buffer, const GstAudioInfo& format) {
  const auto samples = gst_buffer_get_size(buffer) / gsize(GST_AUDIO_INFO_BPF(&format));
  GST_BUFFER_DURATION(buffer) =
      gst_util_uint64_scale_int(samples, GST_SECOND, GST_AUDIO_INFO_RATE(&format));
  GST_BUFFER_OFFSET_END(buffer) = GST_BUFFER_OFFSET_NONE;
}

void GiveCarry(GstPad* pad, Aligning& state) {
  if (!state.carry) return;
  state.replaying = true;
  gst_pad_chain(pad, state.carry.release());
  state.replaying = false;
}

GstPadProbeReturn OnBuffer(GstPad* pad, GstPadProbeInfo* info, Aligning& state) {
  if (state.replaying || !state.format || state.segment.format != GST_FORMAT_TIME)
    return GST_PAD_PROBE_OK;
  const GstAudioInfo& format = *state.format;
  const auto bpf = gsize(GST_AUDIO_INFO_BPF(&format));
  if (bpf == 0 || GST_AUDIO_INFO_RATE(&format) <= 0) return GST_PAD_PROBE_OK;
  GstBuffer* given = GST_PAD_PROBE_INFO_BUFFER(info);
  if (GST_BUFFER_FLAG_IS_SET(given, GST_BUFFER_FLAG_DISCONT)) GiveCarry(pad, state);
  const BufferPtr kept(gst_audio_buffer_clip(gst_buffer_ref(given), &state.segment,
                                             GST_AUDIO_INFO_RATE(&format), int(bpf)));
  if (!kept) return GST_PAD_PROBE_OK;  // the encoder drops it
  const gsize carried = state.carry ? gst_buffer_get_size(state.carry.get()) : 0;
  const gsize all = carried + gst_buffer_get_size(kept.get());
  const gsize block = kBlockSamples * bpf;
  const gsize whole = all / block * block;
  BufferPtr rest;
  if (whole < all) {
    const gsize fromKept = all - whole <= gst_buffer_get_size(kept.get())
                               ? gst_buffer_get_size(kept.get()) - (all - whole)
                               : 0;
    BufferPtr tail(gst_buffer_copy_region(kept.get(), GST_BUFFER_COPY_ALL, fromKept,
                                          gst_buffer_get_size(kept.get()) - fromKept));
    if (GST_BUFFER_PTS_IS_VALID(kept.get()))
      GST_BUFFER_PTS(tail.get()) =
          GST_BUFFER_PTS(kept.get()) +
          gst_util_uint64_scale_int(fromKept / bpf, GST_SECOND, GST_AUDIO_INFO_RATE(&format));
    GstBuffer* left = Joined(whole == 0 ? state.carry.get() : nullptr, tail.get(), all - whole);
    if (!left) return GST_PAD_PROBE_OK;
    rest.Reset(left);
    Time(rest.get(), format);
  }
  if (whole == 0) {
    state.carry = std::move(rest);
    return GST_PAD_PROBE_DROP;
  }
  GstBuffer* out = Joined(state.carry.get(), kept.get(), whole);
  if (!out) return GST_PAD_PROBE_OK;
  Time(out, format);
  state.carry = std::move(rest);
  gst_buffer_unref(given);
  GST_PAD_PROBE_INFO_DATA(info) = out;
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn OnData(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto& state = *static_cast<Aligning*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) return OnBuffer(pad, info, state);
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_CAPS: {
      GiveCarry(pad, state);
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      GstAudioInfo audio;
      state.format.reset();
      if (caps && gst_audio_info_from_caps(&audio, caps)) state.format = audio;
      break;
    }
    case GST_EVENT_SEGMENT: {
      GiveCarry(pad, state);
      const GstSegment* segment = nullptr;
      gst_event_parse_segment(event, &segment);
      gst_segment_copy_into(segment, &state.segment);
      break;
    }
    case GST_EVENT_GAP:
    case GST_EVENT_EOS:
      GiveCarry(pad, state);
      break;
    case GST_EVENT_FLUSH_STOP:
      state.carry.Reset();
      break;
    default:
      break;
  }
  return GST_PAD_PROBE_OK;
}

}  // namespace

std::optional<PadProbe> KeepEncoderInputAligned(GstElement* encoder) {
  if (!FactoryNameOf(encoder).starts_with("avenc_") || !GST_IS_AUDIO_ENCODER(encoder))
    return std::nullopt;
  const PadPtr input(gst_element_get_static_pad(encoder, "sink"));
  if (!input) return std::nullopt;
  return PadProbe(
      input.get(),
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
      &OnData, new Aligning, [](gpointer data) { delete static_cast<Aligning*>(data); });
}

}  // namespace gst
