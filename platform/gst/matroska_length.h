#pragma once
// GStreamer's Matroska writer states the file's length as its longest
// stream's own span, from that stream's first time to its last. A stream
// that starts late and ends last (sound placed a second after the picture
// and running past it) is cut by its start: a 6 s file said it lasted 5 s,
// and players drew their seek bar for 5. The length the writer gives at
// the end is mended as it goes out: the latest end of any stream, counted
// from the file's start, as ffmpeg states it; never shorter than the
// writer's own.

#include <gst/gst.h>

#include <memory>
#include <vector>

#include "platform/gst/pad_probe.h"

namespace gst {

struct MatroskaEnds;

class MatroskaLength {
 public:
  // Starts watching `muxer`'s streams and mending its output if it is
  // GStreamer's Matroska writer; none for any other muxer. Its stream pads
  // must be there already.
  static std::unique_ptr<MatroskaLength> For(GstElement* muxer);

  ~MatroskaLength();
  MatroskaLength(const MatroskaLength&) = delete;
  MatroskaLength& operator=(const MatroskaLength&) = delete;

 private:
  MatroskaLength(GstElement* muxer, GstPad* output);
  std::unique_ptr<MatroskaEnds> ends_;  // outlives the probes, which are removed first
  std::vector<PadProbe> probes_;
};

}  // namespace gst
