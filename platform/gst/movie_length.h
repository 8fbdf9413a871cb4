#pragma once
// GStreamer 1.22's MP4 demuxer, reading a file itself, ends a stream once
// the stream's place in its own media (not in the movie) reaches the
// movie's length. A track whose edit list starts into its samples then
// loses that much of its end: 1.3 s of sound in a clip cut at 1.3 s without
// re-encoding, and the encoder's priming (20-50 ms) in most MP4 files with
// AAC. Lengthening the movie the demuxer reads by the largest such start
// lets every track end where its own edit list ends; each stream's segment
// still comes from its edit list, so nothing plays past its end.

#include <gst/gst.h>

#include <cstdint>
#include <span>

#include "platform/gst/pad_probe.h"

namespace gst {

// Lengthens, in place, the movie length a whole 'moov' box states (and the
// fragmented movie's, where it states one) by the furthest any track's edit
// list starts into its media. Returns whether it changed anything; a box it
// cannot read whole is left as it is.
bool LengthenMovieByEditStarts(std::span<std::uint8_t> moov);

// Applies LengthenMovieByEditStarts to the 'moov' box a demuxer pulls
// through `sourcePad`, for as long as the probe lives.
PadProbe LengthenPulledMovie(GstPad* sourcePad);

}  // namespace gst
