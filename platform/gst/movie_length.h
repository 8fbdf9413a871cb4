#pragma once
// GStreamer 1.22's MP4 demuxer, reading a file itself, ends a stream once
// the stream's place in its own media (not in the movie) reaches the
// movie's length. A track whose edit list starts into its samples then
// loses that much of its end: 1.3 s of sound in a clip cut at 1.3 s without
// re-encoding, and the encoder's priming (20-50 ms) in most MP4 files with
// AAC. Lengthening the movie the demuxer reads by the largest such start
// lets every track end where its own edit list ends; each stream's segment
// still comes from its edit list, so nothing plays past its end.
//
// The same demuxer guesses a track's frame rate from its media length over
// its samples. In a clip cut without re-encoding, the media length of a
// picture track whose pictures are reordered counts the reordering delay
// as well (two pictures with B-frames), so a 30 fps clip read as 29.5 fps
// and lost one picture in sixty. Such a length is set to the samples' own.

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

// Sets, in place, the media length of each track that has an edit list
// and states more than its samples last to what they last, where the
// difference is at most a quarter of that (a reordering delay, not a
// damaged table). Returns whether it changed anything.
bool FitEditedMediaToSamples(std::span<std::uint8_t> moov);

// Applies both to the 'moov' box a demuxer pulls through `sourcePad`, for
// as long as the probe lives.
PadProbe MendPulledMovie(GstPad* sourcePad);

}  // namespace gst
