#pragma once
// The mends of how GStreamer reads a source, in one place: every reader of
// a source applies them here, in the order written below. Each mend's own
// header says what it mends, where its probe finds the behaviour, and its
// canary test.

#include <gst/gst.h>

#include <string>

namespace gst {

// Mends the bytes `source` (an element made for this read alone) gives its
// demuxer: the clock of a transport stream (transport_clock.h), then the
// lengths of an MP4 movie (movie_length.h). They go with the element.
void MendSourceBytes(GstElement* source);

// A conversion's whole input side: the source's bytes as above, then what
// the demuxers inside `decodebin` give of the file at `path`: AVI times
// (avi_times.h), the start of a cut program stream
// (program_stream_start.h) and LATM sound (loas_timing.h).
void MendInput(GstElement* source, GstElement* decodebin, const std::string& path);

}  // namespace gst
