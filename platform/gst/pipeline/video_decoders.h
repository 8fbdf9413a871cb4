#pragma once
// How the video decoders that a run's decoding bin plugs in are set up.
//
// Who owns the decoded pictures: libav's video decoders lend their own
// picture buffers downstream ("direct rendering"), and a picture lent stays
// out of the decoder's reach until the last element lets it go. An encoder
// that holds frames through a look-ahead (x264 holds 40 and more) then keeps
// that many of the decoder's pictures, each larger than the frame, and the
// decoder makes new ones beside them. Copying each picture into a buffer of
// the frame's own size lets the decoder's go at once: the copy costs a pass
// over each frame and spares a picture per held frame.
//
// How many threads decode: libav decodes on a thread per core by default,
// each frame on its own. In a run the decoder already works beside the
// encoder on a thread of its own, and up to 1080p at 30 frames a second one
// thread keeps ahead of every encoder here; the extra threads then only take
// cores from the encoder (on two cores, a 10-second 360p clip to WMV or AVI
// takes 10-15 % longer with them, 1080p 8 %). Larger or faster pictures
// outrun one thread (4K to WMV takes 8 % longer on one), so they keep
// libav's choice.

#include <gst/gst.h>

namespace gst {

// Sets up every video decoder that `decodebin` adds from now on: it copies
// its pictures out instead of lending them, and decodes on the threads that
// DecoderThreadsFor gives for the pictures it is told of. Call before the
// bin starts.
void SetUpVideoDecoders(GstElement* decodebin);

// libav's "max-threads" for pictures of that size at that rate (0 frames a
// second when not known): 1 up to 1080p at 30 frames a second, 0 (libav's
// own choice) above.
int DecoderThreadsFor(int width, int height, double framesPerSecond);

}  // namespace gst
