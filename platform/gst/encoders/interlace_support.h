#pragma once
// Interlaced pictures: whether raw caps carry them, and whether an encoder
// takes them. Many encoders do not (libav's Windows Media, MPEG-1/2, H.263
// and MJPEG encoders open only for progressive input), and nothing in their
// pad templates says so: the encoder is asked by opening one, once per
// factory and process.

#include <gst/gst.h>

namespace gst {

// True when an encoder of the factory opens for progressive pictures and
// not for interlaced ones of the same size and format. False when it takes
// both, or when the trial is inconclusive (it opens for neither).
bool RefusesInterlacedInput(GstElementFactory* factory);

// Whether raw video caps say their pictures are progressive (no
// interlace-mode is progressive); false for empty caps.
bool IsProgressive(GstCaps* caps);

}  // namespace gst
