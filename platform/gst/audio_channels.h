#pragma once
// How many channels a sound is brought to for the element that takes it.
// Left to itself, GStreamer's audio converter picks the first form an
// encoder lists, and the stereo encoders (MP3, MP2, the AAC of voaac) list
// mono first: a 5.1 film came out mono. The most channels the element takes,
// up to the source's, keeps a surround source in stereo.

#include <gst/gst.h>

#include "platform/gst/gst_handle.h"
#include "platform/gst/pad_probe.h"

namespace gst {

// The channel count to ask for in front of `sink` for a source of
// `sourceChannels`: 0 when the pad takes the source's count (or any count,
// or the source's is not known); else the most it takes up to the source's;
// else the fewest it takes.
int ChannelsFor(GstPad* sink, int sourceChannels);

// Sound of more than two channels whose file does not say where they go (raw
// 5.1 PCM in a MOV, say): the converter can then neither mix them nor drop
// any, and refuses the stream. They are taken to be where that many channels
// usually go, as ffmpeg takes them. The caps so placed; none when `caps`
// need no places or have no usual ones (more than eight channels).
CapsPtr WithUsualPlaces(GstCaps* caps);

// Places the channels of the caps that pass `pad` so.
PadProbe PlaceUnplacedChannels(GstPad* pad);

}  // namespace gst
