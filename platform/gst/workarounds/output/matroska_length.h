#pragma once
// GStreamer's Matroska writer states the file's length as its longest
// stream's own span, from that stream's first time to its last. A stream
// that starts late and ends last (sound placed a second after the picture
// and running past it) is cut by its start: a 6 s file says it lasts 5 s,
// and players draw their seek bar for 5. GStreamer 1.22 and 1.26 have it.
// The length the writer gives at the end is mended as it goes out: the
// latest end of any stream, counted from the file's start, as ffmpeg
// states it; never shorter than the writer's own.
// Registry name "matroska-length"; canary Canary.MatroskaLength.

#include <gst/gst.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/gst/pad_probe.h"

namespace gst {

// Whether GStreamer's Matroska writer states the length of a file whose
// one stream starts late as that stream's span; false when there is no
// such writer.
bool MatroskaWriterStatesSpans();

// Where the Matroska file that starts with `bytes` (its header) keeps its
// length: the offset of the Duration's
// value, a big-endian double. None when the header has no such Duration
// (a streamable file) or is cut short before it.
std::optional<std::uint64_t> MatroskaDurationAt(std::span<const std::uint8_t> bytes);

// A Duration's value (8 bytes) and the length it states.
double ReadMatroskaDuration(std::span<const std::uint8_t, 8> value);
void WriteMatroskaDuration(std::span<std::uint8_t, 8> value, double length);

struct MatroskaEnds;

class MatroskaLength {
 public:
  // Starts watching `muxer`'s streams and mending its output if it is
  // GStreamer's Matroska writer and the mend is engaged; none otherwise.
  // Its stream pads must be there already.
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
