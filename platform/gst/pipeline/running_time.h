#pragma once
// One time origin for every stream of a file. Each stream arrives with a
// segment of its own (an MPEG transport stream's starts where its first
// clock reference is, not at zero); the pipeline's running time is what the
// streams share. Muxers that write buffer timestamps as they get them, and
// ignore the segment, must be given running time, or a stream that was
// restamped and one that was not land apart in the file.

#include <gst/gst.h>

#include "platform/gst/pad_probe.h"

namespace gst {

// Running time of a time in the segment; none for a time before it.
GstClockTime RunningTimeOf(const GstSegment& segment, GstClockTime time);

// Replaces the segment event a probe holds by one of `segment`, with the
// same sequence number.
void ReplaceSegment(GstPadProbeInfo* info, const GstSegment& segment);

// Keeps the segment a segment event carries in `kept` and replaces the
// event by a segment from zero.
void TakeSegment(GstPadProbeInfo* info, GstSegment& kept);

// Restamps every buffer passing `pad` with its running time and turns the
// segment into one from zero, sent once (again after a flush), for as long
// as the probe lives.
PadProbe RestampToRunningTime(GstPad* pad);

// Whether the muxer writes timestamps as given (libav's muxers, avimux,
// asfmux), so that every stream it takes needs RestampToRunningTime.
// Muxers that take running time themselves (mp4mux, matroskamux) keep the
// segments, which also keeps an encoder's decoding times ahead of the
// first picture.
bool WritesTimestampsAsGiven(GstElement* muxer);

// Whether the muxer writes every stream from the file's start and keeps no
// stream's start time (avimux): a stream that starts late must be filled
// from the origin to stay in step.
bool StartsEveryStreamAtZero(GstElement* muxer);

}  // namespace gst
