#pragma once
// libav's audio encoders read a mono or interleaved frame straight from the
// buffer GStreamer's encoder base hands them, with vector instructions that
// need it aligned; gst-libav copies only planar sound of several channels.
// A frame starts wherever the samples before it left off, so a clipped
// first buffer or buffers of odd sizes put frames at any address: a mono
// sound at 44.1 kHz crashed the Windows Media Audio encoder.
//
// The encoder is given its sound in aligned buffers of whole blocks of
// samples, clipped to its segment beforehand: every frame then starts on
// an aligned address. What is left short of a block waits for the next
// buffer and goes out before a new segment, a break in the sound or the
// end.

#include <gst/gst.h>

#include <optional>

#include "platform/gst/pad_probe.h"

namespace gst {

// Keeps the input of `encoder` aligned for as long as the probe lives;
// nothing for an encoder that is not one of libav's. Installed after any
// other probe on its input, so it sees the segment the encoder will use.
std::optional<PadProbe> KeepEncoderInputAligned(GstElement* encoder);

}  // namespace gst
