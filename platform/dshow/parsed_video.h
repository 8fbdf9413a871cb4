#pragma once
// Discovery learns a compressed video stream from its parser, whose caps
// carry the frame size and rate, instead of decoding its first pictures: a
// decoder that reorders frames gives its first picture only after three or
// more, which at 4K take half a second of the discovery. The stream is still
// decoded when no installed decoder takes it (so a missing decoder is found
// as before), when it has no parser, or when its parser does not tell its
// frame size.

#include <gst/pbutils/pbutils.h>

namespace dshow {

// Call before the discoverer starts on an address.
void LearnVideoFromItsParser(GstDiscoverer* discoverer);

}  // namespace dshow
