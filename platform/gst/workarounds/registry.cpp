#include "platform/gst/workarounds/registry.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>

#include "platform/gst/encoders/libav_video_encoder.h"
#include "platform/gst/workarounds/encoder/encoder_delay.h"
#include "platform/gst/workarounds/encoder/encoder_timestamps.h"
#include "platform/gst/workarounds/input/avi_times.h"
#include "platform/gst/workarounds/input/loas_timing.h"
#include "platform/gst/workarounds/input/movie_length.h"
#include "platform/gst/workarounds/input/program_stream_start.h"
#include "platform/gst/workarounds/input/transport_clock.h"
#include "platform/gst/workarounds/output/avi_audio_rate.h"
#include "platform/gst/workarounds/output/matroska_length.h"
#include "platform/gst/workarounds/output/windows_media_header.h"

namespace gst {

namespace {

constexpr std::array kEntries{
    WorkaroundEntry{Workaround::LibavFrameRate, "libav-frame-rate",
                    "libav's video encoders count time in nanoseconds, so their rate control "
                    "plans for a billion frames a second and misses the asked bitrate",
                    &LibavEncodersCountInNanoseconds},
    WorkaroundEntry{Workaround::AsfCodecData, "asf-codec-data",
                    "libav's ASF writer leaves its streams' codec data out of the header, so "
                    "readers decode the Windows Media streams with errors",
                    &AsfWriterDropsCodecData},
    WorkaroundEntry{Workaround::TransportClock, "transport-clock",
                    "the transport stream demuxer gives the programme's clock up after half a "
                    "second of a stream without it, and then stamps nothing: a file whose "
                    "picture starts late has no length, and its picture loses its place",
                    &TransportDemuxerGivesUpALateClock},
    WorkaroundEntry{Workaround::ProgramStreamStart, "program-stream-start",
                    "the program stream demuxer starts its segment at the first time stamp in "
                    "the file, so the sound stored before the picture in a cut recording is "
                    "clipped",
                    &ProgramStreamDemuxerStartsAtItsFirstStamp},
    WorkaroundEntry{Workaround::LoasTiming, "loas-timing",
                    "the AAC parser forgets the LATM configuration of LOAS frames it has just "
                    "read, and drops and mistimes the frames up to the next one",
                    &AacParserForgetsLoasConfiguration},
    WorkaroundEntry{Workaround::Mp4EditedEnd, "mp4-edited-end",
                    "GStreamer's MP4 demuxer, reading a file itself, ends a track once its place "
                    "in its media reaches the movie's length, so a track whose edit list starts "
                    "into its samples loses that much of its end",
                    &Mp4DemuxerEndsEditedTracksEarly},
    WorkaroundEntry{Workaround::Mp4CutFrameRate, "mp4-cut-frame-rate",
                    "GStreamer's MP4 demuxer reads a picture track's frame rate from the media "
                    "length its header states, which in a clip cut without re-encoding counts "
                    "the reordering delay too",
                    &Mp4DemuxerRatesByMediaLength},
    WorkaroundEntry{Workaround::Mp4ShortTrack, "mp4-short-track",
                    "GStreamer's MP4 demuxer leaves out a track that lasts less than a fifth of "
                    "the movie as a preview picture, so sound that stops early is lost",
                    &Mp4DemuxerSkipsShortTracks},
    WorkaroundEntry{Workaround::AviKeyframeStamps, "avi-keyframe-stamps",
                    "GStreamer's AVI demuxer stamps each keyframe with its decoding tick as the "
                    "time it is shown, which puts reordered pictures (MPEG-4 part 2 with B "
                    "pictures, MPEG-1 and 2) ahead of their time",
                    &AviDemuxerShowsKeyframesWhenDecoded},
    WorkaroundEntry{Workaround::AviAdpcmTimes, "avi-adpcm-times",
                    "GStreamer's AVI demuxer times IMA and Microsoft ADPCM blocks by a byte rate "
                    "that takes a block's bytes after its headers for its samples, half what a "
                    "mono block holds",
                    &AviDemuxerTimesAdpcmByHalfItsSamples},
    WorkaroundEntry{Workaround::AviWmaTimeBase, "avi-wma-time-base",
                    "GStreamer's AVI writer states Windows Media Audio's time base as whole "
                    "blocks a second, so readers let the sound run 1.9 % slow",
                    &AviWriterRoundsWmaBlockRate},
    WorkaroundEntry{Workaround::MatroskaLength, "matroska-length",
                    "GStreamer's Matroska writer states a file's length as its longest stream's "
                    "own span, so a stream that starts late and ends last cuts it by its start",
                    &MatroskaWriterStatesSpans},
    WorkaroundEntry{Workaround::AsfCreationTime, "asf-creation-time",
                    "libav's ASF writer states 1970 as the time its Windows Media files were made",
                    &AsfWriterStatesNoCreationTime},
    WorkaroundEntry{Workaround::AsfMaxBitrate, "asf-max-bitrate",
                    "libav's ASF writer states as maximum bitrate only what its streams declared, "
                    "less than they carry",
                    &AsfWriterCountsDeclaredBitrates},
    WorkaroundEntry{Workaround::LibavVideoTimestamps, "libav-video-timestamps",
                    "libav's video encoders add their first frame's time in nanoseconds to the "
                    "codec's time in frames, so pictures come out stamped thousands of hours off",
                    &LibavVideoEncodersMisstampFirstTime},
    WorkaroundEntry{Workaround::AudioEncoderPriming, "audio-encoder-priming",
                    "audio encoders stamp their first frame with the time of the sound they "
                    "were given, so the priming before it makes the decoded sound lag",
                    &AudioEncodersDelayTheirSound},
    WorkaroundEntry{Workaround::AudioEncoderTail, "audio-encoder-tail",
                    "voaacenc drops the part-frame left at the end and the samples it holds "
                    "back, so the sound ends early",
                    &AudioEncodersDropTheirTail},
};

struct State {
  std::once_flag probed;
  bool present = false;
  std::atomic<int> heldBack{0};
};
std::array<State, kEntries.size()> states;

std::size_t IndexOf(Workaround id) {
  const auto found = std::find_if(kEntries.begin(), kEntries.end(),
                                  [id](const WorkaroundEntry& e) { return e.id == id; });
  return static_cast<std::size_t>(found - kEntries.begin());
}

}  // namespace

std::span<const WorkaroundEntry> Workarounds() { return kEntries; }

bool BehaviourPresent(Workaround id) {
  const std::size_t index = IndexOf(id);
  State& state = states[index];
  std::call_once(state.probed, [&] { state.present = kEntries[index].probe(); });
  return state.present;
}

bool Engaged(Workaround id) {
  return BehaviourPresent(id) && states[IndexOf(id)].heldBack.load() == 0;
}

DisengagedWorkaround::DisengagedWorkaround(std::string_view name) {
  const auto found = std::find_if(kEntries.begin(), kEntries.end(),
                                  [name](const WorkaroundEntry& e) { return e.name == name; });
  if (found == kEntries.end()) return;
  entry_ = &*found;
  ++states[IndexOf(entry_->id)].heldBack;
}

DisengagedWorkaround::~DisengagedWorkaround() {
  if (entry_) --states[IndexOf(entry_->id)].heldBack;
}

}  // namespace gst
