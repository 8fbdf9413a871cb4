#pragma once
// The libav encoders start single-threaded (their "threads" setting is 1);
// letting them pick the number of threads, as ffmpeg does by default, makes
// the slice-threaded ones (MPEG-4 part 2 among them) markedly faster.

#include <gst/gst.h>

namespace gst {

// Sets an encoder's "threads" to automatic when it has that setting.
void PreferAutomaticThreads(GstElement* encoder);

}  // namespace gst
