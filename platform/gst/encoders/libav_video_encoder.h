#pragma once
// What the libav video encoders (avenc_*) need from the pipeline around them
// to keep to their bitrate.
//
// gst-libav 1.22 opens the codec with a time base of one nanosecond and takes the
// real frame rate into the time base only when the caps its output may take
// are fixed. libav's one-pass rate control (the MPEG-video family: Windows
// Media Video 7/8, MPEG-4 part 2, H.263, MPEG-1/2, ...) reckons the frame
// rate from the time base, so it plans for a billion frames a second, gives
// each frame a budget of no bits and holds the quantizer at its maximum
// whatever bitrate is asked (for avenc_mpeg4 the time base is cut to 1/65535
// s, with the same result). With fixed caps after the encoder it works as
// `ffmpeg -b:v` does. The timestamps the encoder then needs are handled by
// encoder_timestamps.h.
//
// gst-libav 1.26 gives the codec the frame rate as its time base and states
// no frame rate on its output (0/1), so there the fixed caps are neither
// needed nor taken. Which of the two the installed encoders do is learnt
// by opening one (registry name "libav-frame-rate"; canary
// Canary.LibavFrameRate).

#include <gst/gst.h>

#include "platform/gst/gst_handle.h"

namespace gst {

bool IsLibavVideoEncoder(GstElement* encoder);

// Whether libav's video encoders, opened with nothing fixed after them,
// count their codec's time in nanoseconds: they then state their input's
// frame rate on their output, as the codec's time base is not it.
bool LibavEncodersCountInNanoseconds();

// Fixed caps for a caps filter right after `encoder`, for raw input `raw`:
// the encoder's output as what follows it accepts (`encoder` must be linked
// downstream already), with the raw stream's frame size, pixel aspect ratio
// and frame rate. Null when `raw` leaves the frame size or rate open (a
// variable rate): the encoder then keeps gst-libav's own choice.
CapsPtr RateControlCaps(GstElement* encoder, GstCaps* raw);

}  // namespace gst
