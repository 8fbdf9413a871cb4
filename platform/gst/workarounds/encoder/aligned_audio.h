#pragma once
// libav's audio encoders read a mono or interleaved frame straight from the
// buffer GStreamer's encoder base hands them, with vector instructions that
// need it aligned; gst-libav 1.22 copies only planar sound of several
// channels. A frame starts wherever the samples before it left off, so a
// clipped first buffer or buffers of odd sizes put frames at any address:
// a mono sound at 44.1 kHz crashes the Windows Media Audio encoder.
// gst-libav 1.26 copies a frame that is not aligned for the processor's
// widest vectors, yet the same camera's sound into the same encoder still
// crashes it now and then without the mend (once in some 70 runs here).
// No probe in the process may risk that crash, so this is a guard that is
// always on, for every version, not a registry entry; its test is
// ConversionOutputs.AMonoSoundReachesLibavEncodersAligned.
//
// The encoder is given its sound in aligned
// buffers of whole blocks of samples, clipped to its segment beforehand:
// every frame then starts on an aligned address. What is left short of a
// block waits for the next buffer and goes out before a new segment, a
// break in the sound or the end.

#include <gst/gst.h>

#include <optional>

#include "platform/gst/pad_probe.h"

namespace gst {

// Keeps the input of `encoder` aligned for as long as the probe lives;
// nothing for an encoder that is not one of libav's. Sees the segment the encoder will use: it is
// installed after every other mend of the encoder's input (branch.cpp).
std::optional<PadProbe> KeepEncoderInputAligned(GstElement* encoder);

}  // namespace gst
