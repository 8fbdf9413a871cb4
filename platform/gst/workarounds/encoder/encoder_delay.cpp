#include "platform/gst/workarounds/encoder/encoder_delay.h"

#include <gst/audio/audio.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/gst/element_maker.h"
#include "platform/gst/encoders/encoder_defaults.h"
#include "platform/gst/formats/wma_frame.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/pipeline/running_time.h"
#include "platform/gst/workarounds/element_trial.h"
#include "platform/gst/workarounds/registry.h"

namespace gst {

namespace {

// What a fresh encoder of a factory does with a quarter second of silence.
struct Habits {
  bool delaysSound = false;  // its first frame is stamped with its first sound's time
  bool dropsTail = false;    // it gives out less than it was given
};

// The encoder's raw caps nearest to 48 kHz stereo.
CapsPtr TrialCaps(GstPad* input) {
  const CapsPtr taken(gst_pad_query_caps(input, nullptr));
  if (!taken || gst_caps_is_empty(taken.get())) return {};
  CapsPtr caps(gst_caps_copy_nth(taken.get(), 0));
  GstStructure* format = gst_caps_get_structure(caps.get(), 0);
  gst_structure_fixate_field_nearest_int(format, "rate", 48000);
  gst_structure_fixate_field_nearest_int(format, "channels", 2);
  return CapsPtr(gst_caps_fixate(caps.release()));
}

// Stamped 1 s in a segment from zero, so that an encoder that knows its
// priming can stamp its first frame before the sound.
Habits Try(const std::string& factory) {
  ElementTrial trial;
  GstElement* encoder = trial.Add(MakeEncoder(factory));
  if (!encoder || !trial.Play(encoder)) return {};
  const PadPtr input(gst_element_get_static_pad(encoder, "sink"));
  const CapsPtr caps = TrialCaps(input.get());
  GstAudioInfo format;
  if (!caps || !gst_audio_info_from_caps(&format, caps.get()) ||
      !trial.Begin(input.get(), caps.get()))
    return {};
  const int rate = GST_AUDIO_INFO_RATE(&format);
  const auto given = std::uint64_t(rate / 4);
  std::vector<std::uint8_t> silence(given * std::uint64_t(GST_AUDIO_INFO_BPF(&format)));
  gst_audio_format_info_fill_silence(format.finfo, silence.data(), silence.size());
  if (!trial.Push(input.get(), std::move(silence), GST_SECOND,
                  gst_util_uint64_scale_int(given, GST_SECOND, rate)))
    return {};
  trial.End(input.get());
  if (!trial.Finish() || trial.Ends().empty()) return {};
  const ElementTrial::Received& out = trial.Ends().front();
  if (out.buffers.empty() || !out.segment) return {};
  GstClockTime lasting = 0;
  for (const auto& buffer : out.buffers)
    if (GST_CLOCK_TIME_IS_VALID(buffer.duration)) lasting += buffer.duration;
  Habits habits;
  habits.delaysSound = RunningTimeOf(*out.segment, out.buffers.front().pts) >= GST_SECOND &&
                       out.buffers.front().clippedStart == 0;
  habits.dropsTail = gst_util_uint64_scale_round(lasting, std::uint64_t(rate), GST_SECOND) < given;
  return habits;
}

// Learnt once per factory and process.
Habits HabitsOf(std::string_view factory) {
  static std::mutex mutex;
  static std::map<std::string, Habits, std::less<>> known;
  {
    std::lock_guard lock(mutex);
    if (const auto found = known.find(factory); found != known.end()) return found->second;
  }
  const Habits habits = Try(std::string(factory));
  std::lock_guard lock(mutex);
  known.emplace(std::string(factory), habits);
  return habits;
}

// Samples of silence that see every sample out of an encoder that was given
// `given` samples, works in frames of `frame` (0: any size) and holds back
// `held`; none for an encoder that holds nothing back.
std::uint64_t SilenceToFinish(std::uint64_t given, int frame, int held) {
  if (held <= 0) return 0;
  if (frame <= 0) return std::uint64_t(held);
  const auto size = std::uint64_t(frame);
  const std::uint64_t lastFrame = (size - given % size) % size;
  return lastFrame + (std::uint64_t(held) + size - 1) / size * size;
}

struct Delaying {
  Delaying(GstAudioEncoder* element, std::string name, bool moving, bool finishing)
      : encoder(element), factory(std::move(name)), moves(moving), finishes(finishing) {}
  GstAudioEncoder* encoder;  // owns the pad, so outlives the probe; may be null
  std::string factory;
  bool moves;     // the segment's start, by the delay
  bool finishes;  // the sound, with silence for the delay it never gives out
  int rate = 0;
  std::optional<GstSegment> given;           // the segment before it was moved
  GstClockTime start = GST_CLOCK_TIME_NONE;  // where the moved one starts
  bool reached = false;                      // whether any sound got past that start
  BufferPtr cut;                             // the last buffer wholly before it
  bool replaying = false;
  // What the encoder took of the segment it was last given, as it clips it.
  std::optional<GstAudioInfo> format;
  GstSegment taking{};
  std::uint64_t taken = 0;  // samples
  GstClockTime end = GST_CLOCK_TIME_NONE;
};

GstSegment Moved(const GstSegment& given, GstClockTime by) {
  GstSegment moved;
  gst_segment_copy_into(&given, &moved);
  moved.start += by;
  if (GST_CLOCK_TIME_IS_VALID(moved.stop) && moved.stop < moved.start) moved.stop = moved.start;
  moved.position = moved.start;
  return moved;
}

void NoteBuffer(Delaying& state, GstBuffer* buffer) {
  if (state.reached || !GST_CLOCK_TIME_IS_VALID(state.start)) return;
  const GstClockTime pts = GST_BUFFER_PTS(buffer);
  const GstClockTime duration = GST_BUFFER_DURATION(buffer);
  if (!GST_CLOCK_TIME_IS_VALID(pts) || !GST_CLOCK_TIME_IS_VALID(duration) ||
      pts + duration > state.start) {
    state.reached = true;
    state.cut.Reset();
  } else {
    state.cut.Reset(gst_buffer_ref(buffer));
  }
}

void CountTaken(Delaying& state, GstBuffer* buffer) {
  if (!state.finishes || !state.format || state.taking.format != GST_FORMAT_TIME) return;
  const int bpf = GST_AUDIO_INFO_BPF(&*state.format);
  if (bpf <= 0) return;
  GstBuffer* clipped = gst_audio_buffer_clip(gst_buffer_ref(buffer), &state.taking,
                                             GST_AUDIO_INFO_RATE(&*state.format), bpf);
  if (!clipped) return;
  state.taken += gst_buffer_get_size(clipped) / std::size_t(bpf);
  if (GST_BUFFER_PTS_IS_VALID(clipped) && GST_BUFFER_DURATION_IS_VALID(clipped))
    state.end = GST_BUFFER_PTS(clipped) + GST_BUFFER_DURATION(clipped);
  gst_buffer_unref(clipped);
}

void GiveOutHeldSound(GstPad* pad, Delaying& state) {
  if (!state.format || state.taken == 0) return;
  int frame = 0;
  if (state.encoder && gst_audio_encoder_get_frame_samples_min(state.encoder) ==
                           gst_audio_encoder_get_frame_samples_max(state.encoder))
    frame = gst_audio_encoder_get_frame_samples_min(state.encoder);
  const GstAudioInfo& format = *state.format;
  const std::uint64_t samples = SilenceToFinish(
      state.taken, frame, EncoderDelaySamples(state.factory, GST_AUDIO_INFO_RATE(&format)));
  if (samples == 0) return;
  GstBuffer* silence = gst_buffer_new_allocate(
      nullptr, std::size_t(samples) * std::size_t(GST_AUDIO_INFO_BPF(&format)), nullptr);
  if (const BufferMapping mapping(silence, GST_MAP_WRITE); mapping)
    gst_audio_format_info_fill_silence(format.finfo, mapping.bytes().data(),
                                       mapping.bytes().size());
  GST_BUFFER_PTS(silence) = state.end;
  GST_BUFFER_DURATION(silence) =
      gst_util_uint64_scale_int(samples, GST_SECOND, GST_AUDIO_INFO_RATE(&format));
  state.replaying = true;
  gst_pad_chain(pad, silence);
  state.replaying = false;
}

// A sound shorter than the delay would leave the encoder nothing, and the
// muxer a stream it cannot describe: it is given back unmoved instead.
void GiveBackShortSound(GstPad* pad, Delaying& state) {
  if (state.reached || !state.cut || !state.given) return;
  state.replaying = true;
  gst_pad_send_event(pad, gst_event_new_segment(&*state.given));
  gst_pad_chain(pad, state.cut.release());
  state.replaying = false;
}

// Notes where the encoder's segment starts; what it clips is not counted.
void Take(Delaying& state, const GstSegment& segment) {
  gst_segment_copy_into(&segment, &state.taking);
  state.taken = 0;
  state.end = GST_CLOCK_TIME_NONE;
}

GstPadProbeReturn OnData(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto& state = *static_cast<Delaying*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
    if (!state.replaying) NoteBuffer(state, GST_PAD_PROBE_INFO_BUFFER(info));
    CountTaken(state, GST_PAD_PROBE_INFO_BUFFER(info));
    return GST_PAD_PROBE_OK;
  }
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_CAPS: {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      const GstStructure* format = caps ? gst_caps_get_structure(caps, 0) : nullptr;
      if (!format || !gst_structure_get_int(format, "rate", &state.rate)) state.rate = 0;
      GstAudioInfo audio;
      state.format.reset();
      if (caps && gst_audio_info_from_caps(&audio, caps)) state.format = audio;
      return GST_PAD_PROBE_OK;
    }
    case GST_EVENT_EOS:
      if (state.replaying) return GST_PAD_PROBE_OK;
      GiveBackShortSound(pad, state);
      GiveOutHeldSound(pad, state);
      return GST_PAD_PROBE_OK;
    case GST_EVENT_SEGMENT:
      break;
    default:
      return GST_PAD_PROBE_OK;
  }
  const int samples = EncoderDelaySamples(state.factory, state.rate);
  const GstSegment* given = nullptr;
  gst_event_parse_segment(event, &given);
  Take(state, *given);
  if (state.replaying) return GST_PAD_PROBE_OK;
  if (!state.moves || samples <= 0 || given->format != GST_FORMAT_TIME || given->rate <= 0)
    return GST_PAD_PROBE_OK;
  state.given = *given;
  state.reached = false;
  state.cut.Reset();
  const GstSegment moved =
      Moved(*given, gst_util_uint64_scale_int(samples, GST_SECOND, state.rate));
  state.start = moved.start;
  Take(state, moved);
  ReplaceSegment(info, moved);
  return GST_PAD_PROBE_OK;
}

}  // namespace

int EncoderDelaySamples(std::string_view factory, int rate) {
  if (rate <= 0) return 0;
  if (factory == "avenc_wmav1") return WmaFrameLength(1, rate);
  if (factory == "avenc_wmav2") return WmaFrameLength(2, rate);
  // LAME's own 576 and the 529 of every layer III decoder.
  if (factory == "lamemp3enc") return 1105;
  if (factory == "avenc_aac") return 1024;
  if (factory == "voaacenc") return 1600;
  if (factory == "avenc_mp2" || factory == "avenc_mp2fixed" || factory == "twolamemp2enc")
    return 481;
  if (factory == "avenc_ac3" || factory == "avenc_ac3_fixed" || factory == "avenc_eac3") return 256;
  if (factory == "avenc_dca") return 512;
  if (factory == "avenc_real_144") return 160;  // a frame, looked ahead
  return 0;
}

bool AudioEncodersDelayTheirSound() {
  for (const char* factory : {"avenc_wmav2", "lamemp3enc"})
    if (HabitsOf(factory).delaysSound) return true;
  return false;
}

bool AudioEncodersDropTheirTail() { return HabitsOf("voaacenc").dropsTail; }

std::optional<PadProbe> StartAfterEncoderDelay(GstElement* encoder) {
  const std::string_view factory = FactoryNameOf(encoder);
  // Any rate tells whether the encoder has a delay at all.
  if (EncoderDelaySamples(factory, 48000) == 0) return std::nullopt;
  const Habits habits = HabitsOf(factory);
  const bool moves = habits.delaysSound && Engaged(Workaround::AudioEncoderPriming);
  const bool finishes = habits.dropsTail && Engaged(Workaround::AudioEncoderTail);
  if (!moves && !finishes) return std::nullopt;
  PadPtr input(gst_element_get_static_pad(encoder, "sink"));
  if (!input) return std::nullopt;
  return PadProbe(
      input.get(),
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
      &OnData,
      new Delaying(GST_IS_AUDIO_ENCODER(encoder) ? GST_AUDIO_ENCODER(encoder) : nullptr,
                   std::string(factory), moves, finishes),
      [](gpointer data) { delete static_cast<Delaying*>(data); });
}

}  // namespace gst
