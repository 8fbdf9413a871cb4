#pragma once
// Raw pictures written in a form the file's readers know. Matroska takes
// AYUV, the form 4:4:4 pictures convert to best, but ffmpeg, and with it
// most players, cannot read AYUV back from it.

#include <gst/gst.h>

#include "platform/gst/gst_handle.h"

namespace gst {

// "video/x-raw, format={...}": the raw formats the muxer's pad takes less
// those its readers do not know; none when every format it takes is known.
CapsPtr ReadableRawVideo(GstPad* muxerPad);

}  // namespace gst
