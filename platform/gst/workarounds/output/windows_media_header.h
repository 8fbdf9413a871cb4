#pragma once
// Mends the header of the Windows Media file libav's ASF writer (avmux_asf)
// writes, as it passes to the file: it names this program as the encoding
// application, where the writer names itself ("WM/EncodingSettings" =
// "Lavf..."). The writer writes the header at the start and again, with
// the totals, when it ends; the file's later bytes move by whatever the
// header grows.
//
// libav's ASF writer (FFmpeg 5.1 and 7.1, under GStreamer 1.22 and 1.26)
// also states 1970 as the time the file was made, as gst-libav gives it
// no time; the time the run starts is put in then
// (AsfWriterStatesNoCreationTime, registry name "asf-creation-time", canary
// Canary.AsfCreationTime). It states as maximum bitrate only the bitrates
// its streams declared, which the sound encoders do and the video ones do
// not (128 kbit/s for a 1 Mbit/s file); the busiest second the streams
// really carried, with the packets' share, is put in then
// (AsfWriterCountsDeclaredBitrates, "asf-max-bitrate", Canary.AsfMaxBitrate).
//
// Where libav's ASF writer leaves its streams' codec data out of the header
// (GStreamer 1.26.2 and later: gst-libav hands its muxers no codec data),
// readers decode both Windows Media streams with errors; the codec data each
// stream's caps carry is put back into its format then (AsfWriterDropsCodecData,
// registry name "asf-codec-data", canary Canary.AsfCodecData).

#include <gst/gst.h>

#include <memory>
#include <mutex>
#include <vector>

#include "platform/gst/pad_probe.h"

namespace gst {

// Whether libav's ASF writer leaves the codec data its streams' caps carry
// out of the header it writes; false when there is no such writer.
bool AsfWriterDropsCodecData();
// Whether it states 1970 (or earlier) as the time the file was made.
bool AsfWriterStatesNoCreationTime();
// Whether it states a maximum bitrate below what a stream that declared
// less carried.
bool AsfWriterCountsDeclaredBitrates();

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
