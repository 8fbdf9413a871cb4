#pragma once
// Decoded audio whose timestamps overlap would make encoders and containers
// write time that goes backwards (players and ffmpeg then report
// "non monotonically increasing dts"), or fail the run. GStreamer's AVI
// demultiplexer does that with variable-bitrate MP3 whose header claims a
// constant rate: it times such a stream by its bytes, as AVI says, so its
// frames are stamped closer together than they last. On the pad given,
// each buffer is made to start no earlier than the previous one ended; the
// samples are trusted over such stamps, and gaps stay as they are.
//
// A guard that is always on, not a mend of one library's behaviour: the
// stamps come from what the file states, and GStreamer 1.22 and 1.26 read
// them alike, as any reader of a damaged or misdescribed file may give them.
// GStreamer's audiorate does not do this job: its tolerance is the same
// for stamps too early and too late. At its 40 ms it drops the samples
// that overlap (three quarters of such a sound); wide enough to keep them,
// it closes real gaps as well and puts the sound after them early.

#include <gst/gst.h>

#include "platform/gst/pad_probe.h"

namespace gst {

PadProbe KeepAudioInOrder(GstPad* pad);

}  // namespace gst
