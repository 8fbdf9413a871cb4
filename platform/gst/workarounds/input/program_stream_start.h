#pragma once
// The MPEG program stream demuxer, reading a file (pulling its bytes), starts
// its segment at the first time stamp it meets in the file. A recording cut
// from the middle (a DVD's second VOB file, a camcorder's or a recorder's
// cut) holds, at its start, sound stamped earlier than the picture stored
// beside it: sound is stored closer to its time than pictures are. That
// sound falls before the segment and is clipped: 0.4 s of a cut DVD title is
// lost. GStreamer 1.22 and 1.26 both have it. Registry name
// "program-stream-start"; canary InputCanary.ProgramStreamStart.
//
// The head of the file is read for the first time stamp of each stream, and
// the demuxer's segments are moved back towards the earliest of them by
// whole pictures, so that the pictures keep their places on the output's
// frame grid and no stream starts with a gap. Less than a picture of sound
// is still cut.

#include <gst/gst.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace gst {

// The earliest of the first time stamps (in 90 kHz ticks) of the sound and
// picture streams in the head of a program stream; nothing for anything
// else or a head without them. Subpictures and other data are left out.
std::optional<std::uint64_t> EarliestProgramStreamStamp(std::span<const std::uint8_t> head);

// How long a picture lasts by the first MPEG video sequence header in the
// head; nothing without one.
std::optional<GstClockTime> ProgramStreamFrameDuration(std::span<const std::uint8_t> head);

// How far a segment that starts at `start` is moved back to take in what
// starts at `earliest`: the whole pictures of `frame` that fit, nothing for
// a lead of over 5 s, which is no lead but a damaged stamp.
GstClockTime SegmentMove(GstClockTime start, GstClockTime earliest, GstClockTime frame);

// Where the mend is engaged, makes every program stream demuxer that
// `decodebin` adds from now on start its segments no later than the earliest
// stamp at the head of the file at `path`. Call before the bin starts.
void StartProgramStreamsTogether(GstElement* decodebin, const std::string& path);

// Whether the installed demuxer, reading a cut recording, starts the segment
// of its sound after the sound's first stamp.
bool ProgramStreamDemuxerStartsAtItsFirstStamp();

}  // namespace gst
