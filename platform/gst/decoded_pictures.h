#pragma once
// Who owns the decoded pictures. libav's video decoders lend their own
// picture buffers downstream ("direct rendering"), and a picture lent stays
// out of the decoder's reach until the last element lets it go. An encoder
// that holds frames through a look-ahead (x264 holds 40 and more) then keeps
// that many of the decoder's pictures, each larger than the frame, and the
// decoder makes new ones beside them. Copying each picture into a buffer of
// the frame's own size lets the decoder's go at once: the copy costs a pass
// over each frame and spares a picture per held frame.

#include <gst/gst.h>

namespace gst {

// Makes every video decoder that `decodebin` adds from now on copy its
// pictures out instead of lending them. Call before the bin starts.
void CopyDecodedPictures(GstElement* decodebin);

}  // namespace gst
