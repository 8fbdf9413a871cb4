#include "platform/gst/workarounds/encoder/aligned_audio.h"

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

// A new aligned buffer of `bytes`: those of `first` (which may be null),
// then those of `second`; timed from the first of them.
GstBuffer* Joined(GstBuffer* first, GstBuffer* second, gsize bytes) {
  GstAllocationParams params;
  gst_allocation_params_init(&params);
  params.align = kAlignment - 1;
  GstBuffer* joined = gst_buffer_new_allocate(nullptr, bytes, &params);
  if (!joined) return nullptr;
  if (const BufferMapping into(joined, GST_MAP_WRITE); into) {
    gsize at = 0;
    for (GstBuffer* part : {first, second})
      if (part && at < bytes)
        at += gst_buffer_extract(part, 0, into.bytes().data() + at, bytes - at);
  }
  gst_buffer_copy_into(joined, first ? first : second, GST_BUFFER_COPY_METADATA, 0, -1);
  return joined;
}

GstClockTime SamplesTime(gsize samples, const GstAudioInfo& format) {
  return gst_util_uint64_scale_int(samples, GST_SECOND, GST_AUDIO_INFO_RATE(&format));
}

// Cuts `joined` to its first `whole` bytes; what lies past them, in a
// buffer of its own and timed from where it starts.
BufferPtr SplitOff(GstBuffer* joined, gsize whole, const GstAudioInfo& format) {
  const gsize all = gst_buffer_get_size(joined);
  const auto bpf = gsize(GST_AUDIO_INFO_BPF(&format));
  BufferPtr rest;
  if (whole < all) {
    const BufferPtr past(
        gst_buffer_copy_region(joined, GST_BUFFER_COPY_MEMORY, whole, all - whole));
    rest.Reset(Joined(nullptr, past.get(), all - whole));
    if (rest && GST_BUFFER_PTS_IS_VALID(joined))
      GST_BUFFER_PTS(rest.get()) = GST_BUFFER_PTS(joined) + SamplesTime(whole / bpf, format);
    if (rest) GST_BUFFER_DURATION(rest.get()) = SamplesTime((all - whole) / bpf, format);
  }
  gst_buffer_resize(joined, 0, gssize(whole));
  GST_BUFFER_DURATION(joined) = SamplesTime(whole / bpf, format);
  GST_BUFFER_OFFSET_END(joined) = GST_BUFFER_OFFSET_NONE;
  return rest;
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
  const gsize all =
      (state.carry ? gst_buffer_get_size(state.carry.get()) : 0) + gst_buffer_get_size(kept.get());
  const gsize block = kBlockSamples * bpf;
  BufferPtr joined(Joined(state.carry.get(), kept.get(), all));
  if (!joined) return GST_PAD_PROBE_OK;
  const gsize whole = all / block * block;
  state.carry = SplitOff(joined.get(), whole, format);
  if (whole == 0) return GST_PAD_PROBE_DROP;
  gst_buffer_unref(given);
  GST_PAD_PROBE_INFO_DATA(info) = joined.release();
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
