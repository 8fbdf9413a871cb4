#pragma once
// GStreamer's MP4 demuxer, reading a file itself, ends a stream once the
// stream's place in its own media (not in the movie) reaches the movie's
// length. A track whose edit list starts into its samples then loses that
// much of its end: the samples before the cut that a clip cut without
// re-encoding keeps (up to a keyframe interval), and the encoder's priming
// (20-50 ms) in most MP4 files with AAC. Lengthening the movie the demuxer reads by the largest
// such start lets every track end where its own edit list ends; each stream's segment still comes
// from its edit list, so nothing plays past its end. GStreamer 1.22 has it; 1.26 does not. Registry
// name "mp4-edited-end"; canary test DemuxerCanary.Mp4EditedEnd.
//
// The same demuxer guesses a track's frame rate from its media length over
// its samples. In a clip cut without re-encoding, the media length of a
// picture track whose pictures are reordered counts the reordering delay
// as well (two pictures with B-frames): a 30 fps clip reads as 29.5 fps and
// loses one picture in sixty. Such a length is set to the samples' own.
// GStreamer 1.22 and 1.26 have it. Registry name "mp4-cut-frame-rate";
// canary test DemuxerCanary.Mp4CutFrameRate.
//
// It also takes a track that lasts less than a fifth of the movie for a
// preview picture and leaves it out: the sound of a recording whose sound
// stopped early is then missing, and the source is refused as one without
// sound. A sound track's media length is raised to that fifth (its samples
// and edits, and so what is heard, stay as they are). GStreamer 1.22 and
// 1.26 have it. Registry name "mp4-short-track"; canary test
// DemuxerCanary.Mp4ShortTrack.
//
// Each mend applies only where its probe finds the behaviour: a movie of a
// few boxes, pulled by the installed demuxer.

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

// Raises, in place, the media length of each sound track that states less
// than a fifth of the movie's length to that fifth. Returns whether it
// changed anything.
bool RaiseShortSoundTracks(std::span<std::uint8_t> moov);

// Applies the engaged ones of the three to the 'moov' box a demuxer pulls
// through `sourcePad`, for as long as the probe lives; nothing where
// none is engaged.
PadProbe MendPulledMovie(GstPad* sourcePad);

// Whether the installed MP4 demuxer, pulling a movie whose track's edit
// starts halfway into its media, ends the track before its edit ends.
bool Mp4DemuxerEndsEditedTracksEarly();
// Whether it reads a picture track's frame rate from a media length that
// states more than its samples last.
bool Mp4DemuxerRatesByMediaLength();
// Whether it leaves out a track that lasts a tenth of the movie.
bool Mp4DemuxerSkipsShortTracks();

}  // namespace gst
