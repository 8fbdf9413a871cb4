#include "platform/gst/workarounds/output/output_mends.h"

#include "platform/gst/workarounds/output/avi_audio_rate.h"
#include "platform/gst/workarounds/output/matroska_length.h"
#include "platform/gst/workarounds/output/windows_media_header.h"

namespace gst {

std::unique_ptr<OutputMends> OutputMends::For(GstElement* muxer) {
  if (!muxer) return nullptr;
  std::unique_ptr<OutputMends> mends(new OutputMends);
  mends->header_ = WindowsMediaHeader::For(muxer);
  mends->aviAudioRate_ = AviAudioRate::For(muxer);
  mends->matroskaLength_ = MatroskaLength::For(muxer);
  return mends;
}

OutputMends::~OutputMends() = default;

}  // namespace gst
