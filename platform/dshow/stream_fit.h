#pragma once
// Whether elements can take what a stream carries, judged from their pad
// templates before anything runs, as a connection would judge it.

#include <gst/gst.h>

#include "platform/dshow/stream_info.h"
#include "platform/gst/gst_handle.h"

namespace dshow {

// Decoded media of the kind, in any raw format.
gst::CapsPtr RawCaps(StreamKind kind);

// What leaves a compressor: its element's source pad template; raw media of
// the kind when there is no compressor.
gst::CapsPtr CarriedCaps(StreamKind kind, GstElement* encoder);

// True when a sink pad template of the element (always or on request)
// accepts some of the caps. Converters are implied: raw video of any format
// or size meets a template that takes raw video.
bool TakesCaps(GstElement* element, GstCaps* caps);

// False for caps a multiplexer's templates take but that it writes without
// what readers need to decode them, so that the file would not play.
bool WritesReadably(GstElement* multiplexer, GstCaps* caps);

}  // namespace dshow
