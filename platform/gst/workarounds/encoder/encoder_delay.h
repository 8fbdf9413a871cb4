#pragma once
// Many audio encoders start their stream late: the sound they are given is
// heard, once decoded, a fixed number of samples after the time it was
// given at. They stamp their first frame with the time of their first
// sound, with no lookahead and no clipping note for the priming before it,
// and the containers written here keep no note of it either. libav's
// Windows Media Audio encoders lag by a frame (2048 samples at 44.1 kHz,
// 46 ms), LAME by 1105 samples, the AAC encoders by 1024 or 1600. Left so,
// the sound of every such file lags its picture by that much. GStreamer
// 1.22 and 1.26 both have it (neither gst-libav nor LAME's or voaacenc's
// element tells the audio encoder base of the priming). Registry name
// "audio-encoder-priming"; canary EncoderCanary.AudioEncoderPriming.
//
// Where an encoder's first frame is found stamped so, its input segment is
// made to start that many samples in: the encoder drops them (a sound that
// starts with the file loses them) and its output's running time counts
// from there, so the decoded sound lands where it was in the source.
//
// `voaacenc` also drops, at the end, what is left short of a frame and the
// 1600 samples it holds back: the last 54 ms of sound at 48 kHz, 0.29 s of
// an 8 kHz phone recording (GStreamer 1.22 and 1.26 alike). Where an
// encoder with a delay is found giving out less than it was given, it is
// given silence at the end to finish its last frame and push out what it
// holds, so every sample is heard; its stream ends at most a frame later,
// as it does from encoders that finish their last frame themselves.
// Registry name "audio-encoder-tail"; canary EncoderCanary.AudioEncoderTail.
//
// Both are learnt per encoder factory, once per process, from a quarter
// second of silence through a fresh encoder.

#include <gst/gst.h>

#include <optional>
#include <string_view>

#include "platform/gst/pad_probe.h"

namespace gst {

// Samples by which an encoder of `factory` delays sound at `rate` samples a
// second; 0 for encoders that keep their own time or are not known.
int EncoderDelaySamples(std::string_view factory, int rate);

// Whether an installed encoder with a delay stamps its first frame with the
// time of its first sound (libav's Windows Media Audio encoder, else LAME's).
bool AudioEncodersDelayTheirSound();
// Whether voaacenc gives out less than it was given.
bool AudioEncodersDropTheirTail();

// Moves the start of `encoder`'s input segment by its delay, and gives it the
// silence above at the end, as far as each is engaged for its factory, for
// as long as the probe lives; nothing for an encoder that needs neither.
std::optional<PadProbe> StartAfterEncoderDelay(GstElement* encoder);

}  // namespace gst
