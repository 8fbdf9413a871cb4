#pragma once
// AVI keeps no presentation times: its pictures are stored in decoding
// order, one per tick. GStreamer 1.22's AVI reader stamps each keyframe with
// its tick as the time it is shown, which holds only where no picture comes
// out of order. In MPEG-1, MPEG-2 and MPEG-4 part 2 (Xvid, DivX) with B
// pictures a keyframe is shown one or more ticks after it is decoded, so
// the decoder was told to show it early, and it put every picture from the
// second keyframe on two or three ticks early (an Xvid with B pictures
// played 100 ms ahead of its sound) or drifting.
// The stamps of those keyframes are taken off here, all but the first of
// each segment: the decoder then shows each picture at the earliest tick not
// yet given, which is where it belongs.

#include <gst/gst.h>

namespace gst {

// Whether a stream of these caps may show its pictures in another order
// than it decodes them, so that the AVI reader's keyframe stamps go wrong.
bool ReordersPictures(const GstCaps* caps);

// Takes the keyframe stamps off the reordered picture streams of every AVI
// reader that `decodebin` adds from now on. Call before the bin starts.
void KeepAviPicturesInOrder(GstElement* decodebin);

}  // namespace gst
