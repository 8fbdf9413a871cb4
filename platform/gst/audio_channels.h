#pragma once
// How many channels a sound is brought to for the element that takes it.
// Left to itself, GStreamer's audio converter picks the first form an
// encoder lists, and the stereo encoders (MP3, MP2, the AAC of voaac) list
// mono first: a 5.1 film came out mono. The most channels the element takes,
// up to the source's, keeps a surround source in stereo.

#include <gst/gst.h>

namespace gst {

// The channel count to ask for in front of `sink` for a source of
// `sourceChannels`: 0 when the pad takes the source's count (or any count,
// or the source's is not known); else the most it takes up to the source's;
// else the fewest it takes.
int ChannelsFor(GstPad* sink, int sourceChannels);

}  // namespace gst
