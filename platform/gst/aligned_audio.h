#pragma once
// libav's audio encoders read a mono or interleaved frame straight from the
// buffer GStreamer's encoder base hands them, with vector instructions that
// need it aligned; gst-libav 1.22 copies only planar sound of several
// channels. A frame starts wherever the samples before it left off, so a
// clipped first buffer or buffers of odd sizes put frames at any address:
// a mono sound at 44.1 kHz crashed the Windows Media Audio encoder.
// gst-libav 1.26 (and 1.24.12 on) copies any frame that is not aligned for
// the processor's widest vectors. Registry name "libav-audio-alignment";
// canary EncoderCanary.LibavAudioAlignment.
//
// Only the version tells: the copy leaves no trace outside the encoder but
// a line in GStreamer's performance log, and without it the only sign is
// the crash, which no probe in the process may risk.
//
// Where the copy is missing, the encoder is given its sound in aligned
// buffers of whole blocks of samples, clipped to its segment beforehand:
// every frame then starts on an aligned address. What is left short of a
// block waits for the next buffer and goes out before a new segment, a
// break in the sound or the end.

#include <gst/gst.h>

#include <optional>
#include <string_view>

#include "platform/gst/pad_probe.h"

namespace gst {

// Whether gst-libav of `version` ("1.22.0") copies an unaligned frame
// before its encoder reads it.
bool LibavCopiesUnalignedFrames(std::string_view version);
// Whether the installed gst-libav leaves an unaligned frame where it lies.
bool LibavAudioEncodersReadUnalignedFrames();

// Keeps the input of `encoder` aligned for as long as the probe lives;
// nothing for an encoder that is not one of libav's, or where gst-libav
// aligns it. Sees the segment the encoder will use: it is installed after
// every other mend of the encoder's input (branch.cpp).
std::optional<PadProbe> KeepEncoderInputAligned(GstElement* encoder);

}  // namespace gst
