#pragma once
// The installed encoder elements that serve as compressors, per category.
//
// The video category holds encoders of moving pictures: element class
// "Encoder" and "Video" but not "Image", producing video/* caps (still-image
// encoders such as pngenc, jpegenc, y4menc, avenc_png are left out). The
// audio category holds encoders producing audio/* caps. Both leave out
// encoders that cannot work here: those whose output has no type other
// elements know (unknown/unknown, or libav's private x-gst-av-* types, which
// no multiplexer accepts), and the libav OpenMAX IL wrappers (*_omx) unless an
// OpenMAX IL core library is installed.
//
// Order: rank, highest first, then factory name — stable from call to call
// and from run to run while the installed plugins stay the same.

#include <string>
#include <vector>

#include "platform/gst/pipeline/pipeline_description.h"

namespace gst {

struct EncoderEntry {
  std::string factoryName;
  std::string longName;  // the friendly name
};

// Reads the plugin registry anew on every call; only the verdict on each
// factory is kept for the life of the process.
std::vector<EncoderEntry> ListEncoders(StreamKind kind);

}  // namespace gst
