#pragma once
// The libav video encoders keep correct timestamps under GStreamer 1.22 only
// when the first frame they see is stamped zero. Left alone they shift their
// input 1000 hours later (a minimum timestamp, with a segment that maps it
// back) and the muxers that write raw timestamps (AVI, ASF) place the video
// hours into the file or hang; and once the codec counts in frames of the
// real rate (libav_video_encoder.h), a first timestamp other than zero comes
// out as garbage (2^63 ns for the 1000 hours, 12077 hours for 1 s at 23 fps).
//
// So such an encoder is given time from zero: its input is restamped with
// the running time since the first frame, its minimum timestamp set to zero,
// and its output moved back to running time with a zero-based segment.

#include <gst/gst.h>

#include <vector>

#include "platform/gst/pad_probe.h"

namespace gst {

// The probes that do it for as long as they live; none for encoders that
// keep their own timestamps right.
std::vector<PadProbe> RepairEncoderTimestamps(GstElement* encoder);

}  // namespace gst
