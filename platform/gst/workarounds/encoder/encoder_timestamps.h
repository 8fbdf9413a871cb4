#pragma once
// libav's video encoders (avenc_*) of gst-libav 1.22 stamp what they give
// out with the codec's time of the packet, in the codec's time base, plus
// the time of the first frame they were given, in nanoseconds. Once the
// codec counts in frames (as with the fixed caps of libav_video_encoder.h,
// and always for avenc_mpeg4, whose time base is cut to 1/65535 s), any
// first time other than zero comes out as garbage: 2^63 ns for the 1000
// hours every such encoder shifts its input by (GStreamer's video encoder
// base keeps a minimum timestamp it asks for, with a segment that maps it
// back), 12077 hours for 1 s at 23 fps. Muxers place the video hours into
// the file or hang.
//
// gst-libav 1.26 takes its output's times from the frames it was given: the
// 1000 hours are still there, but the segment maps them back, and the
// muxers that write timestamps as given get running time from the branch.
// Registry name "libav-video-timestamps"; canary EncoderCanary.LibavVideoTimestamps.
//
// Where the behaviour is found, such an encoder is given time from zero:
// its input is restamped with the running time since the first frame, its
// minimum timestamp set to zero, and its output moved back to running time
// with a zero-based segment.

#include <gst/gst.h>

#include <vector>

#include "platform/gst/pad_probe.h"

namespace gst {

// Whether one frame stamped 1 s into libav's MPEG-4 part 2 encoder comes out
// at another running time. The arithmetic is gst-libav's own, alike for
// all its video encoders; this one's codec never counts in nanoseconds.
bool LibavVideoEncodersMisstampFirstTime();

// The probes that do it for as long as they live; none for encoders that
// keep their own timestamps right.
std::vector<PadProbe> RepairEncoderTimestamps(GstElement* encoder);

}  // namespace gst
