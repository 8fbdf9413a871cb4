#pragma once
// The mends of what GStreamer's and libav's writers write, in one place:
// the Windows Media header (windows_media_header.h), the AVI writer's
// Windows Media Audio time base (avi_audio_rate.h) and the Matroska
// writer's length (matroska_length.h). Each applies only to its own writer
// and only where its probe finds the behaviour; each header says what it
// mends and names its canary test.

#include <gst/gst.h>

#include <memory>

namespace gst {

class AviAudioRate;
class MatroskaLength;
class WindowsMediaHeader;

class OutputMends {
 public:
  // The mends `muxer` needs, installed on its pads once the run's branches
  // are linked to it; none for no muxer. They hold until this goes, which
  // must be before the muxer does.
  static std::unique_ptr<OutputMends> For(GstElement* muxer);
  ~OutputMends();
  OutputMends(const OutputMends&) = delete;
  OutputMends& operator=(const OutputMends&) = delete;

 private:
  OutputMends() = default;
  std::unique_ptr<WindowsMediaHeader> header_;
  std::unique_ptr<AviAudioRate> aviAudioRate_;
  std::unique_ptr<MatroskaLength> matroskaLength_;
};

}  // namespace gst
