#pragma once
// The libav video encoders stamp their output 1000 hours late (with a segment
// that maps it back) and avenc_mpeg4 stamps it with garbage. Muxers that
// write raw timestamps (AVI, ASF) then place video after hours of silence,
// or hang. This repairs the output on the encoder's source pad.

#include <gst/gst.h>

#include <vector>

#include "platform/gst/pad_probe.h"

namespace gst {

enum class TimestampRepair {
  None,        // the encoder's timestamps are usable as they are
  Rebase,      // a zero-based segment, timestamps replaced by running time
  FrameCount,  // timestamps rebuilt from a frame counter and the frame rate,
               // from the running time of the first frame the encoder took
};

TimestampRepair TimestampRepairFor(GstElement* encoder);

// Installs the repair the encoder needs, for as long as the returned probes
// live (none for None). After a repair the encoder's output is in running
// time from a zero-based segment.
std::vector<PadProbe> RepairEncoderTimestamps(GstElement* encoder);

}  // namespace gst
