#pragma once
// Decoded audio whose timestamps overlap would make encoders and containers
// write time that goes backwards (players and ffmpeg then report
// "non monotonically increasing dts"). GStreamer's AVI demultiplexer does
// that with variable-bitrate MP3 whose header claims a constant rate: its
// frames are stamped closer together than they last. On the pad given,
// each buffer is made to start no earlier than the previous one ended; the
// samples are trusted over such stamps, and gaps stay as they are.

#include <gst/gst.h>

#include "platform/gst/pad_probe.h"

namespace gst {

PadProbe KeepAudioInOrder(GstPad* pad);

}  // namespace gst
