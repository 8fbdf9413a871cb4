#pragma once
// Mends the header of the Windows Media file libav's ASF writer (avmux_asf)
// writes, as it passes to the file: the time the file was made, this
// program as the encoding application, and a maximum bitrate that covers
// what the streams really carried (the writer states 1970, itself, and only
// the bitrates its encoders declared). The writer writes the header at the
// start and again, with the totals, when it ends; the file's later bytes
// move by whatever the header grows.
//
// Where libav's ASF writer leaves its streams' codec data out of the header
// (GStreamer 1.26.2 and later: gst-libav hands its muxers no codec data),
// readers decode both Windows Media streams with errors; the codec data each
// stream's caps carry is put back into its format then (AsfWriterDropsCodecData,
// registry name "asf-codec-data").

#include <gst/gst.h>

#include <memory>
#include <mutex>
#include <vector>

#include "platform/gst/pad_probe.h"

namespace gst {

// Whether libav's ASF writer leaves the codec data its streams' caps carry
// out of the header it writes; false when there is no such writer.
bool AsfWriterDropsCodecData();

class WindowsMediaHeader {
 public:
  // Starts mending the output of `muxer` if it is libav's ASF writer, whose
  // sink pads must all be requested by now; none for any other muxer.
  static std::unique_ptr<WindowsMediaHeader> For(GstElement* muxer);

  WindowsMediaHeader(const WindowsMediaHeader&) = delete;
  WindowsMediaHeader& operator=(const WindowsMediaHeader&) = delete;
  ~WindowsMediaHeader();

  struct State;

 private:
  explicit WindowsMediaHeader(std::shared_ptr<State> state);
  void Watch(GstPad* pad, GstPadProbeType type, GstPadProbeCallback callback);
  std::shared_ptr<State> state_;
  std::vector<PadProbe> probes_;
};

}  // namespace gst
