#pragma once
// Which installed decoder decodebin would choose for a stream's caps, read
// from the registry without making one.

#include <gst/gst.h>

#include <optional>
#include <string>

#include "platform/dshow/stream_info.h"

namespace dshow {

// The long name of the decoder of highest rank that accepts the caps: empty
// for raw streams, none when no installed decoder accepts them.
std::optional<std::string> DecoderFor(GstCaps* caps, StreamKind kind);

}  // namespace dshow
