#pragma once
// The raw sound a branch asks of its source, fixed when the branch is fed.
// A fixed rate and channel count keep the encoder's input the same when the
// source changes them midway, as broadcasts do going from a stereo
// programme to a 5.1 film: the converters adapt, where an encoder and a
// container asked to change would fail the run. Within what the encoder
// takes: left to itself, GStreamer's audio converter picks the first form an
// encoder lists, and the stereo encoders (MP3, MP2, voaac's AAC) list mono
// first, so a 5.1 film came out mono; the most channels the encoder takes,
// up to the source's, keep it stereo.

#include <gst/gst.h>

#include "platform/gst/gst_handle.h"
#include "platform/gst/pad_probe.h"

namespace gst {

// What to ask for in front of `sink` for a source with `source` samples a
// second or channels: the source's when the pad takes it (or takes any, or
// the source's is not known: 0). Else the rate nearest the source's, the
// higher of two as near (44.1 kHz into Opus is made 48 kHz, not 24); and
// the most channels below the source's, else the fewest the pad takes.
int RawSoundRate(GstPad* sink, int source);
int RawSoundChannels(GstPad* sink, int source);

// Sound of more than two channels whose file does not say where they go (raw
// 5.1 PCM in a MOV, say): the converter can then neither mix them nor drop
// any, and refuses the stream. They are taken to be where that many channels
// usually go, as ffmpeg takes them. The caps so placed; none when `caps`
// need no places or have no usual ones (more than eight channels).
CapsPtr WithUsualPlaces(GstCaps* caps);

// Places the channels of the caps that pass `pad` so.
PadProbe PlaceUnplacedChannels(GstPad* pad);

}  // namespace gst
